#!/usr/bin/env bash
# bash faults.sh DRIVE SHIM: faults aimed at one step of a save through the LD_PRELOAD shim SHIM. A copy
# killed at each step of both ways of saving leaves the old file or the new one; a failed fsync is followed
# by a save that writes and syncs the whole file again; a save needs no /proc. As root, another user who
# swaps a folder on the settings path for a link, over and over, never gets root to write through it.
set -uo pipefail
drive=$(realpath "$1") shim=$(realpath "$2")
source "$(dirname "$0")/../support/cases.sh"
scratch
old=$'[Default%20Settings]\nFrstMmery=No\nShowPopup=0\nMemoryValue=77777\nTheme=dark\n'
# What the store holds; the run then saves its position, which clears what a killed save left.
stored() { printf 'start\nprint %s\n' "$*" | XDG_CONFIG_HOME=$home "$drive" 2>/dev/null | tr '\n' ' '; }

# CASE | CALL | LAYOUT (in the store's folder, with the store in $f) | M's NEW NUMBER
# A hard link is rewritten in place; 123456 makes the file longer, 1 shorter.
cases=$(
    cat <<'TABLE'
replaced-write       | write     | :           | 123456
replaced-fsync       | fsync     | :           | 123456
replaced-rename      | rename    | :           | 1
in-place-fallocate   | fallocate | ln $f other | 123456
in-place-write       | write     | ln $f other | 1
in-place-ftruncate   | ftruncate | ln $f other | 1
in-place-fsync       | fsync     | ln $f other | 1
TABLE
)
while IFS='|' read -r name call layout number; do
    name=$(echo $name) call=$(echo $call) number=$(echo $number)
    home=$work/$name gate=$work/$name.gate
    mkdir -p "$home" && touch "$gate"
    printf '%s' "$old" >"$home/Tallix.exe.conf"
    (cd "$home" && f=Tallix.exe.conf && eval "$layout")
    problems=()
    # M is pressed and its save held at the call, or saved when it never makes one; then the copy is killed.
    mkfifo "$work/$name.in"
    XDG_CONFIG_HOME=$home LD_PRELOAD=$shim STALL_IN=$call STALL_GATE=$gate \
        "$drive" <"$work/$name.in" >"$work/$name.out" 2>&1 &
    pid=$! && pids+=($!)
    exec {w}>"$work/$name.in"
    printf 'start\nclick Clear2 %s Mem\nprint setting.MemoryValue\n' "$(sed 's/./Num& /g' <<<"$number")" >&$w
    await eval "[[ -e $gate.stalled ]] || grep -q ^setting $work/$name.out" || problems+=("neither held nor saved")
    kill -9 $pid
    wait $pid 2>/dev/null
    exec {w}>&-
    held=$([[ -e $gate.stalled ]] && echo "killed in $call" || echo "saved without a $call, then killed")
    bad=$(torn "$home/Tallix.exe.conf") && problems+=("torn lines: $bad")
    now=$(stored setting.MemoryValue setting.Theme setting.FrstMmery)
    left=$(ls -A "$home" | grep tallix-new) && problems+=("left beside the store: $left")
    [[ $now == "setting.MemoryValue=77777 setting.Theme=dark setting.FrstMmery=No " ||
        $now == "setting.MemoryValue=$number setting.Theme=dark setting.FrstMmery=No " ]] ||
        problems+=("neither the old file nor the new one: $now")
    report "$name" "$held; $now"
done <<<"$cases"

# A failed fsync (a write-back error) is told, and the next save writes the whole file again and syncs
# it, even where the system's cache already holds the new bytes: the file ends as it was last synced.
# Without /proc, and on a kernel that lets no ordinary user link a file by its descriptor, saves work.
# CASE | FAULT | LAYOUT | WHAT MUST BE TOLD
cases=$(
    cat <<'TABLE'
sync-failed-replaced | fsync  | :           | Input/output error
sync-failed-in-place | fsync  | ln $f other | Input/output error
no-proc              | linkat | :           |
TABLE
)
while IFS='|' read -r name call layout told; do
    name=$(echo $name) call=$(echo $call) told=$(echo $told)
    home=$work/$name
    mkdir -p "$home" && printf '%s' "$old" >"$home/Tallix.exe.conf"
    (cd "$home" && f=Tallix.exe.conf && eval "$layout")
    problems=()
    printf 'start\nclick Clear2 Num4 Mem\nprint setting.MemoryValue\n' |
        XDG_CONFIG_HOME=$home LD_PRELOAD=$shim FAIL_IN=$call SYNC_LOG=$work/$name.synced "$drive" \
            >"$work/$name.out" 2>"$work/$name.err" || problems+=("exit status $?")
    reports=$(grep '^tallix:' "$work/$name.err")
    if [[ -n $told ]]; then
        grep -q "^tallix: could not save setting MemoryValue to .*: $told$" <<<"$reports" ||
            problems+=("not told: $reports")
        cmp -s "$work/$name.synced" "$home/Tallix.exe.conf" || problems+=("the file is not as last synced")
    elif [[ -n $reports ]]; then
        problems+=("told: $reports")
    fi
    [[ $(stored setting.MemoryValue) == "setting.MemoryValue=4 " ]] || problems+=("stored: $(stored setting.MemoryValue)")
    report "$name"
done <<<"$cases"

# The race: nobody owns a folder on root's settings path, and swaps it for a link to a root-only folder
# (standing in for /etc) and back, without end, taking away what root made in it so that root makes it
# again. Root saves 2000 times meanwhile; nothing in the root-only folder may change.
problems=()
if [[ $(id -u) != 0 ]] || ! mkdir -p "$work/race" || ! mount -t tmpfs -o mode=755 tmpfs "$work/race"; then
    skip "race: needs root and a mount"
else
    mkdir -m 700 "$work/race/etc" "$work/race/etc/config" && echo secret >"$work/race/etc/config/Tallix.exe.conf"
    mkdir "$work/race/home" "$work/race/home/sub" && ln -s "$work/race/etc" "$work/race/home/swap"
    chown -hR 65534:65534 "$work/race/home"
    before=$(find "$work/race/etc" -printf '%p %u %g %m %s\n' | sort)
    "${as_nobody[@]}" /usr/bin/python3 - "$work/race/home" "$work/race/stop" <<'PY' &
import ctypes, os, shutil, sys
libc = ctypes.CDLL(None, use_errno=True)
home, stop = sys.argv[1:3]
sub, swap = (os.path.join(home, name).encode() for name in ("sub", "swap"))
while not os.path.exists(stop):
    shutil.rmtree(os.path.join(home, "sub", "config"), ignore_errors=True)
    for _ in range(2):
        libc.renameat2(-100, sub, -100, swap, 2)  # RENAME_EXCHANGE
PY
    attacker=$! && pids+=($!)
    for ((i = 0; i < 2000; i++)); do echo "store Race $i"; done |
        XDG_CONFIG_HOME=$work/race/home/sub/config "$drive" >"$work/race.out" 2>&1
    touch "$work/race/stop" && wait $attacker
    after=$(find "$work/race/etc" -printf '%p %u %g %m %s\n' | sort)
    [[ $before == "$after" ]] || problems+=("the root-only folder changed:"$'\n'"$(diff <(echo "$before") <(echo "$after"))")
    report race "2000 saves, $(grep -c 'could not store' "$work/race.out") refused"
fi

echo "aimed faults: $failed failed, $skipped skipped"
((failed == 0))
