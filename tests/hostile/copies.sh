#!/usr/bin/env bash
# bash copies.sh DRIVE: eight copies of the program saving into one store at once, for ten seconds, each in
# a loop: an outside edit under a key of its own read back, M, and every fifth time a move, the options' OK
# and a restart (all seven keys saved). No save may fail or be lost: each key ends as some copy saved it,
# and each copy's own key as the copy last saw it read back. (Copies killed inside a save: faults.sh.)
set -uo pipefail
drive=$1
copies=8
seconds=${HOSTILE_SECONDS:-10}
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; pkill -9 -P $$ 2>/dev/null; wait; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
store="$XDG_CONFIG_HOME/Tallix.exe.conf"
printf '[Default%%20Settings]\nFrstMmery=No\nShowPopup=0\n' >"$store"
end=$(($(date +%s%N) + seconds * 1000000000))

# One copy: drives a program through two FIFOs, one step at a time: a step's commands go out once the
# program has answered the last one. A value counts as written once the program has read it back.
copy() {
    local id=$1 k=0 written=0 line
    local in="$work/$id.in" out="$work/$id.out"
    mkfifo "$in" "$out"
    "$drive" <"$in" >"$out" 2>"$work/$id.err" &
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
        } >&$w
        if ! read -r line <&$r; then
            echo "copy $id: the program ended after step $k was sent" >>"$work/failures"
            break
        fi
        if [[ $line == "setting.Copy$id=$k" ]]; then
            written=$k
        else
            echo "copy $id: stored $k under Copy$id, read back: $line" >>"$work/failures"
        fi
    done
    exec {w}>&-
    # Whatever else it printed, after the end of its input, is a failure too.
    while read -r line <&$r; do echo "copy $id: $line" >>"$work/failures"; done
    exec {r}<&-
    wait
    echo "$written" >"$work/$id.last"
}

for ((id = 1; id <= copies; id++)); do copy "$id" & done
wait

# No copy may have failed to save or warned about the store.
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
left=$(find "$XDG_CONFIG_HOME" -mindepth 1 ! -name Tallix.exe.conf | wc -l)
((left == 0)) || echo "left beside the store: $(ls -A "$XDG_CONFIG_HOME" | tr '\n' ' ')" >>"$work/failures"

total=0
for last in "$work"/*.last; do total=$((total + $(cat "$last"))); done
echo "$copies copies, $seconds s: $total values read back"
if [[ -s $work/failures ]]; then
    sed 's/^/FAIL /' "$work/failures" | head -30
    exit 1
fi
echo "ok   copies: no save failed or was lost"
