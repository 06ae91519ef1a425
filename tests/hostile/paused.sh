#!/usr/bin/env bash
# bash paused.sh DRIVE SHIM TALLIX: the settings file held by another program for as long as the test
# likes, or by a copy stalled inside its save (the LD_PRELOAD shim SHIM). The window answers meanwhile
# and never touches the file itself; its saves are told once, kept, and saved once the holder lets go
# (that they never go over what another copy saved after them: tests/settings). A flood of SIGTERMs
# during a rewrite in place ends the program with 143 once the rewrite is done.
set -uo pipefail
drive=$(realpath "$1") shim=$(realpath "$2") tallix=$(realpath "$3")
source "$(dirname "$0")/../support/cases.sh"
scratch
stored() { echo "print $*" | "$drive" 2>/dev/null | tr '\n' ' '; }

# new_case NAME: a store of its own, and a driver reading commands from the FIFO on descriptor $w.
new_case() {
    name=$1 home=$work/$1/config gate=$work/$1/gate problems=()
    mkdir -p "$home" && touch "$gate"
    f=$home/Tallix.exe.conf
    printf '[Default%%20Settings]\nFrstMmery=No\nShowPopup=0\nMemoryValue=5\n' >"$f"
    export XDG_CONFIG_HOME=$home
}
start_driver() {
    mkfifo "$work/$name/in"
    env "$@" "$drive" <"$work/$name/in" >"$work/$name/out" 2>"$work/$name/err" &
    driver=$! && pids+=($!)
    exec {w}>"$work/$name/in"
}
end_driver() {
    exec {w}>&-
    wait $driver || problems+=("the driver ended with $?: $(cat "$work/$name/out" "$work/$name/err")")
}
hold_lock() {
    flock -x "$f" sh -c "while [ -e '$gate' ]; do sleep 0.01; done" &
    holder=$! && pids+=($!)
    await eval "! flock -n '$f' true" || problems+=("the file was never locked")
}
let_go() { rm -f "$gate" && wait $holder; }

# Another program keeps the lock: M, the options' OK and twenty more commands answer all the same, and no
# call of the window's own thread locks or writes the file. After five seconds the user is told, once;
# once the holder lets go, every value is saved.
new_case held
hold_lock
start_driver LD_PRELOAD="$shim" WINDOW_CALLS=1
{
    echo 'start' && echo 'click Clear2 Num1 Num2 Mem' && echo 'click OptButton Sett.Check1 Sett.Check2 Sett.Okay'
    for ((i = 0; i < 10; i++)); do echo 'click Num7' && echo 'print Screen'; done
    echo 'print Title'
} >&$w
await grep -q '^Title=' "$work/held/out" || problems+=("no answer while the file was held")
kill -0 $holder || problems+=("the answers came only after the holder let go")
# Told on standard error at once, and in the window once the driver lets its events be handled.
await grep -q '^tallix: could not save setting MemoryValue to .*: Another program has kept it locked$' \
    "$work/held/err" || problems+=("never told on standard error")
echo 'click Num7' >&$w && echo 'print Open' >&$w
await grep -q '^Open=' "$work/held/out"
let_go
end_driver
calls=$(grep "^on the window's thread" "$work/held/err" | sort -u) && problems+=("$calls")
(($(grep -c '^msgbox Tallix' "$work/held/out") == 1)) || problems+=("not told once in the window")
now=$(stored setting.MemoryValue setting.Value setting.RedBttns)
[[ $now == "setting.MemoryValue=12 setting.Value=0 setting.RedBttns=0 " ]] || problems+=("stored: $now")
report held "answered while held, told once, saved once let go"

# A copy stalled inside its save of M=4, just before its new file takes the old one's place, while another
# copy waits for the lock on the old one: once let go, the waiter must lock the new file, and save into it.
new_case replaced
printf 'start\nclick Clear2 Num4 Mem\n' | LD_PRELOAD="$shim" STALL_IN=rename STALL_GATE="$gate" "$drive" \
    >"$work/replaced/holder.out" 2>"$work/replaced/holder.err" &
holder=$! && pids+=($!)
await test -e "$gate.stalled" || problems+=("the holder was never held in its rename")
start_driver # the waiter turns the special pointer and the red keys off
printf 'start\nclick OptButton Sett.Check1 Sett.Check2 Sett.Okay\nprint Open\n' >&$w
await grep -q '^Open' "$work/replaced/out" || problems+=("the waiter never answered")
let_go
end_driver
grep -q '^tallix:' "$work/replaced/holder.err" "$work/replaced/err" &&
    problems+=("a copy failed: $(cat "$work/replaced/holder.err" "$work/replaced/err")")
now=$(stored setting.MemoryValue setting.Value setting.RedBttns)
[[ $now == "setting.MemoryValue=4 setting.Value=0 setting.RedBttns=0 " ]] || problems+=("stored: $now")
report replaced "$now"

# A flood of stop signals while the program is held in a rewrite in place (a hard link is rewritten so).
new_case flood
ln "$f" "$home/other-name"
XDG_CONFIG_HOME=$home LD_PRELOAD="$shim" STALL_IN=write STALL_GATE="$gate" "$tallix" 2>"$work/flood/err" &
pid=$! && pids+=($!)
# SIGTERM (15) is caught once the windows are up; closing them saves Top and Left.
catches_term() { (($(printf '%d' "0x$(awk '/^SigCgt/ { print $2 }' "/proc/$pid/status")") & 1 << 14)); }
await catches_term || problems+=("the program never caught SIGTERM")
kill -TERM $pid
await test -e "$gate.stalled" || problems+=("the program was never held in its rewrite")
for ((i = 0; i < 1000; i++)); do kill -TERM $pid 2>/dev/null; done
rm "$gate"
await eval "! kill -0 $pid" || problems+=("still running a minute after the rewrite was let go")
wait $pid
status=$?
((status == 143)) || problems+=("ended with $status, not 143: $(cat "$work/flood/err")")
bad=$(torn "$f") && problems+=("torn lines: $bad")
report flood "1000 SIGTERMs while rewriting, ended with 143, file whole"

echo "paused copies: $failed failed, $skipped skipped"
((failed == 0))
