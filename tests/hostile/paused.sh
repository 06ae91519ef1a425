#!/usr/bin/env bash
# bash paused.sh DRIVE TALLIX SHIM: a copy held inside a save (the LD_PRELOAD shim SHIM) for longer than
# any other waits. Another copy's save meanwhile fails, is told, and is saved by its next save, nothing
# lost, no torn line; a flood of SIGTERMs during a rewrite in place ends it with 143 once the rewrite is done.
set -uo pipefail
drive=$(realpath "$1") tallix=$(realpath "$2") shim=$(realpath "$3")
source "$(dirname "$0")/../support/cases.sh"
work=$(mktemp -d)
pids=()
trap 'kill -9 "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$work/runtime"
whole() { LC_ALL=C grep -avxE '\[[^]]+\]|[A-Za-z0-9]+=[^=]*' "$1"; }

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
    name=$(echo $name) call=$(echo $call)
    read -r holder waiter <<<"$who"
    home="$work/$name/config" gate="$work/$name/gate"
    mkdir -p "$home" && chmod 777 "$work/$name" && touch "$gate" # the held copy marks it there
    f=$home/Tallix.exe.conf
    printf '[Default%%20Settings]\nFrstMmery=No\nShowPopup=0\n' >"$f"
    as=()
    [[ $holder == nobody ]] && as=("${as_nobody[@]}")
    if ! (cd "$home" && f=Tallix.exe.conf && eval "$layout") 2>/dev/null || { ((${#as[@]})) && [[ $(id -u) != 0 ]]; }; then
        skip "$name: needs root" && continue
    fi
    export XDG_CONFIG_HOME=$home
    problems=()
    # The holder stores M=4; its save is held until the gate goes.
    printf 'start\nclick Clear2 Num4 Mem\n' |
        env LD_PRELOAD="$shim" STALL_IN="$call" STALL_GATE="$gate" "${as[@]}" "$drive" \
            >"$work/$name/holder.out" 2>"$work/$name/holder.err" &
    holder_pid=$! && pids+=($!)
    await test -e "$gate.stalled" || problems+=("the holder was never held in $call")
    # The waiter moves its window and turns the special pointer off; that save waits out the lock and fails.
    mkfifo "$work/$name/in"
    "$drive" <"$work/$name/in" >"$work/$name/waiter.out" 2>"$work/$name/waiter.err" &
    waiter_pid=$! && pids+=($!)
    exec {w}>"$work/$name/in"
    printf 'start\nmove 1500 3000\nclick OptButton Sett.Check1 Sett.Okay\nprint Open\n' >&$w
    await grep -q '^Open' "$work/$name/waiter.out"
    # Now the holder goes on; the waiter's next save, and its close, save everything.
    rm "$gate"
    wait $holder_pid || problems+=("the holder ended with $?")
    printf 'click OptButton Sett.Check2 Sett.Okay\n' >&$w
    exec {w}>&-
    wait $waiter_pid || problems+=("the waiter ended with $?")

    told=$(grep -c '^tallix: could not save' "$work/$name/waiter.err")
    ((told > 0)) || problems+=("the waiter's failed save was not told")
    grep -q '^tallix:' "$work/$name/holder.err" && problems+=("the holder failed: $(cat "$work/$name/holder.err")")
    stored=$(echo 'print setting.MemoryValue setting.Value setting.RedBttns setting.Left setting.Top' | "$drive" 2>/dev/null | tr '\n' ' ')
    [[ $stored == "setting.MemoryValue=4 setting.Value=0 setting.RedBttns=0 setting.Left=1500 setting.Top=3000 " ]] ||
        problems+=("stored: $stored")
    torn=$(whole "$f") && problems+=("torn lines: $torn")
    report "$name" "the waiter told $told failed saves, then saved them"
done <<<"$cases"

# A flood of stop signals while the program is held in a rewrite in place (a hard link is rewritten so).
home="$work/flood/config" gate="$work/flood/gate"
mkdir -p "$home" && touch "$gate"
printf '[Default%%20Settings]\nFrstMmery=No\nShowPopup=0\n' >"$home/Tallix.exe.conf" # its close adds Top and Left
ln "$home/Tallix.exe.conf" "$home/other-name"
XDG_CONFIG_HOME=$home LD_PRELOAD="$shim" STALL_IN=write STALL_GATE="$gate" "$tallix" 2>"$work/flood/err" &
pid=$! && pids+=($!)
problems=()
# SIGTERM (15) is caught once the windows are up.
catches_term() { (($(printf '%d' "0x$(awk '/^SigCgt/ { print $2 }' "/proc/$pid/status")") & 1 << 14)); }
await catches_term || problems+=("the program never caught SIGTERM")
kill -TERM $pid
await test -e "$gate.stalled" || problems+=("the program was never held in its rewrite")
for ((i = 0; i < 1000; i++)); do kill -TERM $pid 2>/dev/null; done
rm "$gate"
for ((i = 0; i < 3000; i++)); do kill -0 $pid 2>/dev/null || break; sleep 0.01; done
if kill -0 $pid 2>/dev/null; then
    problems+=("still running 30 s after the rewrite was let go")
else
    wait $pid
    status=$?
    ((status == 143)) || problems+=("ended with $status, not 143")
fi
torn=$(whole "$home/Tallix.exe.conf") && problems+=("torn lines: $torn")
((${#problems[@]})) && problems+=("standard error: $(cat "$work/flood/err")")
report flood "1000 SIGTERMs while rewriting, ended with 143, file whole"

echo "paused copies: $failed failed, $skipped skipped"
((failed == 0))
