#!/usr/bin/env bash
# bash paused.sh DRIVE SHIM TALLIX: the settings file held by another program for as long as the test
# likes, or by a copy stalled inside its save (the LD_PRELOAD shim SHIM). The window answers meanwhile
# and never touches the file itself; its saves are told once, kept, and saved once the holder lets go.
# (That they never go over what another copy saved after them: tests/settings.) A flood of SIGTERMs during a rewrite in place ends the
# program with 143 once the rewrite is done.
set -uo pipefail
drive=$(realpath "$1") shim=$(realpath "$2") tallix=$(realpath "$3")
source "$(dirname "$0")/../support/cases.sh"
work=$(mktemp -d)
pids=()
trap 'kill -9 "${pids[@]}" 2>/dev/null; wait; rm -rf "$work"' EXIT
chmod 755 "$work"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$work/runtime"
torn() { LC_ALL=C grep -avxE '\[[^]]+\]|[A-Za-z0-9]+=[^=]*|' "$1"; }
stored() { echo "print $*" | "$drive" 2>/dev/null | tr '\n' ' '; }

# new_case NAME: a store of its own, and a driver reading commands from the FIFO on descriptor $w.
new_case() {
    name=$1 home=$work/$1/config gate=$work/$1/gate problems=()
    mkdir -p "$home" && chmod 777 "$work/$name" && touch "$gate"
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
start_driver LD_PRELOAD="$shim" WINDOW_LOG="$work/held/window-calls"
{
    echo 'start' && echo 'click Clear2 Num1 Num2 Mem' && echo 'click OptButton Sett.Check1 Sett.Check2 Sett.Okay'
    for ((i = 0; i < 10; i++)); do echo 'click Num7' && echo 'print Screen'; done
    echo 'print Title'
} >&$w
await grep -q '^Title=' "$work/held/out" || problems+=("no answer while the file was held")
kill -0 $holder || problems+=("the answers came only after the holder let go")
# Told on standard error at once, and in the window once the driver lets its events be handled.
await grep -q 'Another program has kept it locked' "$work/held/err" || problems+=("never told")
echo 'click Num7' >&$w && echo 'print Open' >&$w
await grep -q '^Open=' "$work/held/out"
grep -q '^msgbox Tallix' "$work/held/out" || problems+=("the user was never told")
let_go
echo 'print setting.MemoryValue setting.Value setting.RedBttns' >&$w
end_driver
[[ -s $work/held/window-calls ]] && problems+=("the window's thread: $(sort -u "$work/held/window-calls" | tr '\n' ' ')")
grep -q '^setting.MemoryValue=12$' "$work/held/out" && grep -q '^setting.Value=0$' "$work/held/out" &&
    grep -q '^setting.RedBttns=0$' "$work/held/out" || problems+=("not saved: $(grep ^setting "$work/held/out")")
told=$(grep -c '^msgbox Tallix' "$work/held/out")
((told == 1)) || problems+=("told $told times")
grep -q '^tallix: could not save setting MemoryValue to .*: Another program has kept it locked$' "$work/held/err" ||
    problems+=("standard error: $(cat "$work/held/err")")
report held "answered while held, told once, saved once let go"

# A copy stalled inside its save of M=4, for as long as the test likes, in each step that holds the lock.
# CASE | HELD IN | HOW THE STORE IS LAID OUT (in its folder, $f) | WHO HOLDS IT, WHO WAITS
cases=$(
    cat <<'TABLE'
replaced        | rename    | :                                         | self   self
rewritten       | write     | ln $f other-name                          | self   self
grown           | fallocate | ln $f other-name                          | self   self
two-owners      | write     | chown 65534 $f && chmod 666 $f            | nobody self
TABLE
)
while IFS='|' read -r name call layout who; do
    read -r holder_user waiter_user <<<"$who"
    new_case "$(echo $name)"
    call=$(echo $call)
    as=()
    [[ $holder_user == nobody ]] && as=("${as_nobody[@]}")
    if ! (cd "$home" && f=Tallix.exe.conf && eval "$layout") 2>/dev/null || { ((${#as[@]})) && [[ $(id -u) != 0 ]]; }; then
        skip "$name: needs root" && continue
    fi
    printf 'start\nclick Clear2 Num4 Mem\n' |
        env LD_PRELOAD="$shim" STALL_IN="$call" STALL_GATE="$gate" "${as[@]}" "$drive" \
            >"$work/$name/holder.out" 2>"$work/$name/holder.err" &
    holder=$! && pids+=($!)
    await test -e "$gate.stalled" || problems+=("the holder was never held in $call")
    # The waiter turns the special pointer and the red keys off while the holder is held.
    start_driver
    printf 'start\nclick OptButton Sett.Check1 Sett.Check2 Sett.Okay\nprint Open\n' >&$w
    await grep -q '^Open' "$work/$name/out" || problems+=("the waiter never answered")
    let_go
    end_driver
    grep -q '^tallix:' "$work/$name/holder.err" && problems+=("the holder failed: $(cat "$work/$name/holder.err")")
    grep -v '^tallix: could not save setting [A-Za-z]* to .*: Another program has kept it locked$' \
        "$work/$name/err" | grep -q '^tallix:' && problems+=("the waiter failed: $(cat "$work/$name/err")")
    now=$(stored setting.MemoryValue setting.Value setting.RedBttns)
    [[ $now == "setting.MemoryValue=4 setting.Value=0 setting.RedBttns=0 " ]] || problems+=("stored: $now")
    bad=$(torn "$f") && problems+=("torn lines: $bad")
    report "$name" "$now"
done <<<"$cases"

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
