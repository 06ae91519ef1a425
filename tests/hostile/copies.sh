#!/usr/bin/env bash
# Eight copies of the program saving into one store at once, for ten seconds, each in a loop: an outside
# edit under a key of its own read back, M, and every fifth time a move, the options' OK and a restart
# (all seven keys saved). No save may fail or be lost. `bash copies.sh DRIVE killed_copies` also SIGKILLs
# a copy every half second, mostly mid-save, and restarts it.
set -uo pipefail
drive=$1
mode=${2:-copies}
copies=8
seconds=${HOSTILE_SECONDS:-10}
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; pkill -9 -P $$ 2>/dev/null; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
store="$XDG_CONFIG_HOME/Tallix.exe.conf"
printf '[Default%%20Settings]\nFrstMmery=No\nShowPopup=0\n' >"$store"
end=$(($(date +%s%N) + seconds * 1000000000))

# One copy: drives a program through two FIFOs in step with its output, starting another when it is killed.
copy() {
    trap '' PIPE # a write to a killed program fails instead of ending this copy
    local id=$1 k=0 generation=0 line
    while (($(date +%s%N) < end)); do
        generation=$((generation + 1))
        local in="$work/$id.$generation.in" out="$work/$id.$generation.out"
        mkfifo "$in" "$out"
        "$drive" <"$in" >"$out" 2>"$work/$id.$generation.err" &
        echo $! >"$work/$id.pid"
        exec {w}>"$in" {r}<"$out"
        while (($(date +%s%N) < end)); do
            k=$((k + 1))
            {
                echo "store Copy$id $k"
                echo "print setting.Copy$id"
                echo "click Clear2 $(sed 's/./Num& /g' <<<"$((id * 100000 + k))")Mem"
                if ((k % 5 == 0)); then # window positions in whole pixels (15 twips each)
                    echo "move $((15 * (20 + id * 7 + k % 40))) $((15 * (30 + id * 5 + k % 30)))"
                    echo "click OptButton Sett.Check1 Sett.Okay"
                    echo "restart"
                fi
            } >&$w 2>/dev/null || break
            read -r line <&$r || break # the program was killed
            [[ $line == "setting.Copy$id=$k" ]] ||
                echo "copy $id: stored $k under Copy$id, read back: $line" >>"$work/failures"
        done
        exec {w}>&-
        # Whatever else it printed, after the end of its input, is a failure too.
        while read -r line <&$r; do echo "copy $id: $line" >>"$work/failures"; done
        exec {r}<&-
        wait 2>/dev/null
    done
    echo "$k" >"$work/$id.last"
}

for ((id = 1; id <= copies; id++)); do copy "$id" & done

kills=0
mid_save=0
if [[ $mode == killed_copies ]]; then
    while (($(date +%s%N) < end - 1000000000)); do
        sleep "0.$((3 + RANDOM % 4))"
        victim=$(cat "$work/$((1 + RANDOM % copies)).pid" 2>/dev/null) || continue
        flock -n "$store" true || mid_save=$((mid_save + 1)) # some copy is saving at that moment
        kill -9 "$victim" 2>/dev/null && kills=$((kills + 1))
    done
fi
wait
# Kills that all missed a save would prove nothing about one.
[[ $mode != killed_copies ]] || ((mid_save > 0)) ||
    echo "none of the $kills kills came while a copy held the store" >>"$work/failures"

# No copy may have failed to save or warned about the store (the killed ones may print half a line).
for err in "$work"/*.err; do
    grep -h '^tallix:' "$err" | head -3 | sed "s|^|$(basename "$err" .err): |"
done >>"$work/failures"

# Afterwards every key holds a value some copy wrote, as the program reads the store.
keys=(MemoryValue FrstMmery RedBttns Value ShowPopup Top Left)
for ((id = 1; id <= copies; id++)); do keys+=("Copy$id"); done
read=0
while IFS='=' read -r key value; do
    key=${key#setting.} read=$((read + 1))
    case $key in
    MemoryValue) [[ $value =~ ^([1-8])0*([1-9][0-9]*)$ ]] && ((BASH_REMATCH[2] <= $(cat "$work/${BASH_REMATCH[1]}.last"))) ;;
    FrstMmery) [[ $value == No ]] ;;
    RedBttns) [[ $value == 1 ]] ;;
    ShowPopup) [[ $value == 0 ]] ;;
    Value) [[ $value == 0 || $value == 1 ]] ;;
    Top | Left) ((value % 15 == 0)) ;;
    Copy*) [[ $value == $(cat "$work/${key#Copy}.last") ]] ;;
    esac || echo "$key holds '$value', which is not what the copies wrote last" >>"$work/failures"
done < <(echo "print ${keys[*]/#/setting.}" | "$drive" 2>/dev/null)
((read == ${#keys[@]})) || echo "the store read back $read keys of ${#keys[@]}" >>"$work/failures"
# A copy killed just as its new file got its name leaves it beside the store, for the next save to remove.
left=$(find "$XDG_CONFIG_HOME" -mindepth 1 ! -name Tallix.exe.conf | wc -l)
[[ $mode == killed_copies || $left == 0 ]] ||
    echo "left beside the store: $(ls -A "$XDG_CONFIG_HOME" | tr '\n' ' ')" >>"$work/failures"

echo "$copies copies, $seconds s: $kills kills ($mid_save while the store was locked), $left files left beside the store"
if [[ -s $work/failures ]]; then
    sed 's/^/FAIL /' "$work/failures" | head -30
    exit 1
fi
echo "ok   $mode: no save failed or was lost"
