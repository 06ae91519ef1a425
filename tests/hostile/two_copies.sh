#!/usr/bin/env bash
# Copies of the program sharing one store.
#
#   bash two_copies.sh DRIVE CHECK two_copies    two copies at once, each saving its own keys 100 times
#   bash two_copies.sh DRIVE CHECK killed_copy   one copy saving in a loop, killed with SIGKILL 20 times
#
# two_copies: copy A stores 100 different numbers with M and recalls each with MR; copy B moves the
# window, toggles "Show Popup On Startup" in the options and restarts, 100 times. Each copy is the only
# writer of its keys, so each must read back exactly what it wrote last, whatever the other does in
# between; afterwards the store parses and every key holds a value that was written.
# killed_copy: after each kill the store parses, every key holds a value that was written, and the next
# copy starts, saves without a complaint and reads back what it saved.
# Random moments come from bash's RANDOM, seeded by HOSTILE_SEED (printed, so a failure can be replayed).
set -uo pipefail
drive=$1
check=$2
mode=${3:-two_copies}
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"
store="$XDG_CONFIG_HOME/Tallix.exe.conf"
keys=(MemoryValue FrstMmery RedBttns Value ShowPopup Top Left)
failures=()

# The clicks that enter a number: 123 -> "Num1 Num2 Num3 ", left in $keys_of.
digits() {
    keys_of=""
    local k
    for ((k = 0; k < ${#1}; k++)); do keys_of+="Num${1:k:1} "; done
}

# Whether the store parses (Qt's status NoError, both readings agree) and KEY=VALUE lines of what it
# holds are each one of the allowed values: a table of KEY and space-separated values, * for any.
check_store() { # allowed-table, label
    local stored key value allowed
    if ! stored=$("$check" "${keys[@]}" 2>&1); then
        failures+=("$2: the store doesn't parse: $(echo $stored)")
        return
    fi
    while IFS='=' read -r key value; do
        allowed=$(sed -n "s/^$key //p" <<<"$1")
        [[ $allowed == '*' || " $allowed " == *" $value "* ]] ||
            failures+=("$2: $key holds '$value', which no copy wrote")
    done <<<"$stored"
}

seed=${HOSTILE_SEED:-$RANDOM}
RANDOM=$seed
echo "seed $seed (HOSTILE_SEED=$seed replays these moments)"
printf '[Default%%20Settings]\nMemoryValue=1\nFrstMmery=No\nRedBttns=1\nValue=1\nShowPopup=0\nTop=1000\nLeft=1000\n' >"$store"

if [[ $mode == two_copies ]]; then
    # A: M, then MR twice (recalls, then clears: "0"), then M again; the title tells the memory's state.
    a_in="" a_want="Screen=0"$'\n' numbers=""
    for i in $(seq 1 100); do
        n=$((1000 + 37 * i))
        numbers+=" $n"
        digits $n
        a_in+="click Clear2 ${keys_of}Mem"$'\n'"click Clear2 GatherMem"$'\n'"print Screen"$'\n'
        a_in+="click GatherMem"$'\n'"print Title"$'\n'"click Clear2 ${keys_of}Mem"$'\n'
        a_want+="Screen=$n"$'\n'"Title=Tallix - By Dorvik5150"$'\n'
    done
    # B: the options window rewrites RedBttns, Value and ShowPopup; the restart saves and rereads the
    # position and reads ShowPopup (the welcome window opens when it was ticked).
    b_in="" b_want="" positions="1000" popup=0
    for i in $(seq 1 100); do
        x=$((15 * (20 + i))) y=$((15 * (30 + i * 7 % 50)))
        positions+=" $x $y"
        popup=$((1 - popup))
        b_in+="move $x $y"$'\n'"click OptButton Sett.Check3 Sett.Okay"$'\n'"restart"$'\n'"print Open Left Top"$'\n'
        b_want+="Open=MainCalc$( ((popup)) && echo ,Popup)"$'\n'"Left=$x"$'\n'"Top=$y"$'\n'
        ((popup)) && b_in+="close Popup"$'\n'
    done
    # A starts first, while the welcome window is still off; B, which turns it on and off, only once A's
    # window is up (a welcome window would disable A's keys).
    "$drive" <<<"print Screen"$'\n'"$a_in" >"$work/a.out" 2>"$work/a.err" &
    a=$!
    for ((t = 0; t < 200; t++)); do
        [[ -s "$work/a.out" ]] && break
        sleep 0.05
    done
    "$drive" <<<"$b_in" >"$work/b.out" 2>"$work/b.err" &
    b=$!
    wait $a
    a_status=$?
    wait $b
    b_status=$?
    for copy in a b; do
        status_var=${copy}_status want_var=${copy}_want
        ((${!status_var} == 0)) || failures+=("copy ${copy^^}: exit status ${!status_var}")
        if ! diff <(printf '%s' "${!want_var}") "$work/$copy.out" >"$work/$copy.diff"; then
            failures+=("copy ${copy^^} didn't read back what it wrote last (- written, + read):"$'\n'"$(head -20 "$work/$copy.diff")")
        fi
        grep -q '^tallix:' "$work/$copy.err" && failures+=("copy ${copy^^}: $(grep '^tallix:' "$work/$copy.err" | head -3)")
    done
    # B ticked and unticked 100 times, so "0"; A's last act was M with its last number. Both copies
    # save the position when they end.
    check_store "MemoryValue ${numbers##* }
FrstMmery No
RedBttns 1
Value 1
ShowPopup 0
Top $positions
Left $positions" "afterwards"
    echo "two copies: A saved 300 times, B 500 times"
else
    # The looping copy: a number stored with M, every fifth time a move, the options and a restart.
    loop="" numbers="1" positions="1000"
    for i in $(seq 1 400); do # a save takes milliseconds (the file is synced to disk): far more than 1 s
        n=$((100 + i))
        numbers+=" $n"
        digits $n
        loop+="click Clear2 ${keys_of}Mem"$'\n'
        if ((i % 5 == 0)); then
            x=$((15 * (10 + i % 97))) y=$((15 * (10 + i % 89)))
            positions+=" $x $y"
            loop+="move $x $y"$'\n'"click OptButton Sett.Check1 Sett.Okay"$'\n'"restart"$'\n'
        fi
    done
    allowed="MemoryValue $numbers 7
FrstMmery No
RedBttns 1
Value 0 1
ShowPopup 0
Top $positions
Left $positions"
    mid_write=0
    for round in $(seq 1 20); do
        "$drive" <<<"$loop" >/dev/null 2>"$work/loop.err" &
        copy=$!
        sleep "0.$((100 + RANDOM % 400))" # a moment within its first half second of saving
        if ! kill -9 $copy 2>/dev/null; then
            failures+=("round $round: the copy had ended before it was killed")
        fi
        wait $copy 2>/dev/null
        [[ -e $store.lock ]] && mid_write=$((mid_write + 1)) # killed while it held the lock to write
        check_store "$allowed" "round $round, after the kill"
        # The next copy starts on that store, saves and reads back (a lock left behind would hang it).
        next=$("$drive" 2>"$work/next.err" <<<$'click Clear2 Num7 Mem\nprint Screen setting.MemoryValue')
        [[ $next == $'Screen=7\nsetting.MemoryValue=7' ]] ||
            failures+=("round $round: the next copy printed: $(echo $next)")
        grep -q '^tallix:' "$work/next.err" && failures+=("round $round: $(grep '^tallix:' "$work/next.err" | head -2)")
        check_store "$allowed" "round $round, after the next copy"
    done
    left=$(find "$XDG_CONFIG_HOME" -mindepth 1 ! -name Tallix.exe.conf | wc -l)
    echo "20 kills, $mid_write of them while the copy held the store's lock to write it;" \
        "files left beside the store: $left"
fi

if ((${#failures[@]})); then
    printf 'FAIL %s\n' "${failures[@]}"
    exit 1
fi
echo "ok   $mode: the store parsed and held written values throughout"
