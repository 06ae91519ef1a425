#!/usr/bin/env bash
# A store that can't be read or written, or that holds garbage. For every case below, one tallix-drive
# run plays the same session (memory keys, a calculation, the options, a move and a restart), then a
# later run starts the program again. The program must start from what it can read (the defaults when
# it can read nothing), keep working for the whole run, reading back within the run what it failed to
# save, and report each failed save once on standard error; a store that can't be written stays as it
# was, and one that holds garbage is written over so that it parses afterwards.
#
#   bash broken_store.sh DRIVE CHECK [NAME]    (DRIVE: tallix-drive; CHECK: store_check)
set -uo pipefail
drive=$1
check=$2
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"

# CASE | RUN AS | first run at start: title, Left | later run: title, Left, Top, Pointer | failed saves in
# the first run and in the later run. "nobody" rows depend on file modes, which root ignores; "-" is the
# title without the memory marker, (M) the one with it.
cases='
unreadable         | nobody | -   1000 | -   1000 1000 99 | 10 2
read-only          | nobody | (M) 3000 | (M) 3000 1000 99 | 10 2
folder             | self   | -   1000 | -   1000 1000 99 | 10 2
config-home-a-file | self   | -   1000 | -   1000 1000 99 | 10 2
garbage            | self   | -   1000 | -   3000 1500 0  | 0 0
garbage-zeros      | self   | -   1000 | -   3000 1500 0  | 0 0
garbage-in-section | self   | -   1000 | -   3000 1500 0  | 0 0
'
# The keys that one session fails to save, sorted: the memory tip's flag and the memory (M, and MR
# twice), the options window's three check boxes, and the position at the restart and at the end.
failing_keys='FrstMmery Left Left MemoryValue MemoryValue RedBttns ShowPopup Top Top Value'

session='start
print Open Title Left Top
close Popup
click Num1 Num2 Mem
print Title
click Clear2 GatherMem
print Screen
click Add Num3 Equal
print Screen
click GatherMem GatherMem
print Title Screen
click OptButton Sett.Check1 Sett.Okay
print Pointer
move 3000 1500
restart
print Open Title Left Top Pointer'
later='start
print Open Title Left Top Pointer'

title() { [[ $1 == '(M)' ]] && echo 'Tallix - By Dorvik5150 (M)' || echo 'Tallix - By Dorvik5150'; }

# Bytes that look like nothing, the same on every run: a fixed linear congruential sequence.
garbage() {
    LC_ALL=C awk -v seed="$1" -v n="$2" \
        'BEGIN { x = seed; for (i = 0; i < n; i++) { x = (x * 16807) % 2147483647; printf "%c", int(x / 7) % 256 } }'
}

# Lays out the store of a case under the folder $1, which becomes XDG_CONFIG_HOME.
make_store() {
    local home=$1 file=$1/Tallix.exe.conf
    mkdir -p "$home"
    case $2 in
    unreadable | read-only)
        printf '[Default%%20Settings]\nMemoryValue=7\nLeft=3000\n' >"$file"
        chmod "$([[ $2 == unreadable ]] && echo 000 || echo 444)" "$file" ;;
    folder) mkdir "$file" && echo keep >"$file/inside" ;;
    config-home-a-file) rmdir "$home" && echo 'not a folder' >"$home" ;;
    garbage) garbage 7 4096 >"$file" ;;
    garbage-zeros) head -c 4096 /dev/zero >"$file" ;;
    garbage-in-section) { printf '[Default%%20Settings]\n'; garbage 9 4096; } >"$file" ;;
    *) echo "no such case: $2"; exit 2 ;;
    esac
}

# What a store looks like from outside: every path with its type, mode, size and (where it can be
# read) checksum.
snapshot() {
    find "$1" -printf '%P %y %m %s\n' | sort
    find "$1" -type f -exec md5sum {} + 2>/dev/null | sed "s|$1||" | sort
}

# Modes only hold for an unprivileged user: root runs those cases as nobody, any other user as itself.
nobody=()
nobody_why=""
if [[ $(id -u) == 0 ]]; then
    if command -v setpriv >/dev/null; then
        nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
        # nobody must reach the driver; if the build tree is closed to it, a copy in the open will do
        # (it links only the system's Qt).
        if ! "${nobody[@]}" test -x "$drive"; then
            mkdir -p "$work/bin" && cp "$drive" "$work/bin/" && chmod -R 755 "$work/bin"
            drive_nobody="$work/bin/$(basename "$drive")"
            echo "note: $drive is closed to nobody; using a copy in $work/bin"
        fi
        if ! "${nobody[@]}" test -x "${drive_nobody:-$drive}"; then
            echo "FAIL: nobody can't run the driver even from $work/bin"
            exit 1
        fi
    else
        nobody_why="setpriv is not available to drop root's privileges"
    fi
fi

tried=0
failed=0
skipped=0
while IFS='|' read -r name as at_start later_run saves; do
    name=$(echo $name)
    [[ -z $name ]] && continue
    tried=$((tried + 1))
    home="$work/$name/config"
    mkdir -p "$work/$name/runtime" && chmod 700 "$work/$name/runtime"
    make_store "$home" "$name"
    runner=()
    program=$drive
    if [[ $(echo $as) == nobody && $(id -u) == 0 ]]; then
        if [[ -n $nobody_why ]]; then
            echo "SKIP $name: $nobody_why"
            skipped=$((skipped + 1))
            continue
        fi
        chown -R 65534:65534 "$work/$name"
        runner=("${nobody[@]}")
        program=${drive_nobody:-$drive}
    fi
    before=$(snapshot "$home")

    read -r start_title start_left <<<"$at_start"
    read -r later_title later_left later_top later_pointer <<<"$later_run"
    read -r first_saves later_saves <<<"$saves"
    expected="Open=MainCalc,Popup
Title=$(title "$start_title")
Left=$start_left
Top=1000
msgbox Memory Tip
Title=Tallix - By Dorvik5150 (M)
Screen=12
Screen=15
Title=Tallix - By Dorvik5150
Screen=12
Pointer=0
Open=MainCalc,Popup
Title=Tallix - By Dorvik5150
Left=3000
Top=1500
Pointer=0"
    expected_later="Open=MainCalc,Popup
Title=$(title "$later_title")
Left=$later_left
Top=$later_top
Pointer=$later_pointer"

    problems=()
    play() { # input, stderr file: the run's output with the memory tip's text left out
        env XDG_CONFIG_HOME="$home" XDG_RUNTIME_DIR="$work/$name/runtime" HOME="$work/$name" \
            QT_QPA_PLATFORM=offscreen "${runner[@]}" "$program" <<<"$1" 2>"$2" |
            sed 's/^\(msgbox Memory Tip\):.*/\1/'
        echo "${PIPESTATUS[0]}" >"$2.status"
    }
    actual=$(play "$session" "$work/$name/first.err")
    actual_later=$(play "$later" "$work/$name/later.err")
    for run in first later; do
        status=$(cat "$work/$name/$run.err.status")
        ((status == 0)) || problems+=("$run run: exit status $status")
    done
    [[ $actual == "$expected" ]] || problems+=("first run printed:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))")
    [[ $actual_later == "$expected_later" ]] ||
        problems+=("later run printed:"$'\n'"$(diff <(echo "$expected_later") <(echo "$actual_later"))")

    # One line per failed save, naming the key; none for reads.
    reported() { sed -n 's/^tallix: could not save setting \([A-Za-z]*\) .*/\1/p' "$1" | sort | tr '\n' ' ' | sed 's/ $//'; }
    want_first=$([[ $first_saves == 0 ]] || echo "$failing_keys")
    want_later=$([[ $later_saves == 0 ]] || echo 'Left Top')
    got_first=$(reported "$work/$name/first.err")
    got_later=$(reported "$work/$name/later.err")
    [[ $got_first == "$want_first" ]] || problems+=("first run reported failed saves of [$got_first], expected [$want_first]")
    [[ $got_later == "$want_later" ]] || problems+=("later run reported failed saves of [$got_later], expected [$want_later]")
    other=$(grep -v '^tallix: could not save setting\|does not support' "$work/$name"/*.err)
    if [[ -n $other ]]; then problems+=("unexpected standard error:"$'\n'"$other"); fi

    if ((first_saves > 0)); then
        after=$(snapshot "$home")
        [[ $after == "$before" ]] || problems+=("the store changed:"$'\n'"$(diff <(echo "$before") <(echo "$after"))")
    else
        # Written over: Qt and the program now read every key alike, and what the session saved.
        stored=$(env XDG_CONFIG_HOME="$home" "$check" MemoryValue FrstMmery RedBttns Value ShowPopup Top Left 2>&1)
        want='MemoryValue=0 FrstMmery=No RedBttns=1 Value=0 ShowPopup=1 Top=1500 Left=3000'
        [[ $(echo $stored) == "$want" ]] || problems+=("store afterwards: $(echo $stored), expected $want")
    fi

    if ((${#problems[@]})); then
        failed=$((failed + 1))
        echo "FAIL $name (run as ${runner[*]:-$(id -un)}):"
        printf '%s\n' "${problems[@]}" | sed 's/^/    /'
    else
        echo "ok   $name (run as ${runner[*]:-$(id -un)}): failed saves reported $first_saves + $later_saves"
    fi
done <<<"$cases"

echo "$tried broken stores: $((tried - failed - skipped)) handled, $failed failed, $skipped skipped"
((failed == 0))
