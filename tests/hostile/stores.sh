#!/usr/bin/env bash
# Hostile settings stores. For every case below, one tallix-drive run plays the same session (memory
# keys, a calculation, the options, a move and a restart), then a later run starts the program again.
#
# "broken" cases are stores the program can't use (or, for "read-only" and "disk-full", can only read):
# it starts from what it can read (the defaults when nothing), works for the whole run, reading back
# what it failed to save, reports each failed save on standard error, tells the user once per run on
# screen, never freezes waiting for a lock, and leaves the store exactly as it was.
# "saved" cases are stores the program can use although something about them is odd: every save goes
# through with no report, the later run reads it back, every byte that isn't one of the program's own
# settings stays, and the file keeps its kind, owner, group, mode, link count, ACL and attributes.
#
#   bash stores.sh DRIVE CHECK [NAME]    (DRIVE: tallix-drive; CHECK: store_check)
set -uo pipefail
drive=$1
check=$2
work=$(mktemp -d)
mounts=()
cleanup() {
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
    chmod -R u+rwx "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

# CASE | RUN AS | at start: title, Left | KIND. "nobody" rows rely on file modes or owners, which root
# ignores, and "root" rows on a mount or another user's file; "-" is the title without the memory
# marker, (M) the one with it. After the session's restart, and in the later run, a broken store reads
# as at start, and a saved one gives back what the session saved.
cases='
unreadable          | nobody | -   1000 | broken
read-only           | nobody | (M) 3000 | broken
folder              | self   | -   1000 | broken
config-home-a-file  | self   | -   1000 | broken
fifo                | self   | -   1000 | broken
sparse-100-GB       | self   | -   1000 | broken
lock-is-a-folder    | self   | (M) 3000 | broken
disk-full           | root   | (M) 3000 | broken
garbage             | self   | -   1000 | saved
garbage-zeros       | self   | -   1000 | saved
garbage-in-section  | self   | -   1000 | saved
lock-mode-000       | nobody | (M) 3000 | saved
lock-of-dead-owner  | nobody | (M) 3000 | saved
lock-10-s-old       | self   | (M) 3000 | saved
acl-and-attributes  | self   | (M) 3000 | saved
folder-default-acl  | self   | (M) 3000 | saved
another-owner       | root   | (M) 3000 | saved
hard-link           | self   | (M) 3000 | saved
symbolic-link       | self   | (M) 3000 | saved
'
own_keys='MemoryValue|FrstMmery|RedBttns|Value|ShowPopup|Top|Left'

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

# Lays out the store of a case under the folder $1, which becomes XDG_CONFIG_HOME. Returns 3 when the
# case can't be played here.
make_store() {
    local home=$1 file=$1/Tallix.exe.conf
    mkdir -p "$home"
    case $2 in
    folder) mkdir "$file" && echo keep >"$file/inside" ;;
    config-home-a-file) rmdir "$home" && echo 'not a folder' >"$home" ;;
    fifo) mkfifo "$file" ;;
    sparse-100-GB) truncate -s 100G "$file" ;;
    garbage) garbage 7 4096 >"$file" ;;
    garbage-zeros) head -c 4096 /dev/zero >"$file" ;;
    garbage-in-section) { printf '[Default%%20Settings]\n'; garbage 9 4096; } >"$file" ;;
    disk-full) # the lock file takes the last free block, so no new file fits
        mount -t tmpfs -o size=16k tmpfs "$home" 2>/dev/null || return 3
        mounts+=("$home")
        printf '[Default%%20Settings]\nMemoryValue=7\nRedBttns=1\nValue=1\nShowPopup=1\nLeft=3000\n' >"$file"
        head -c 8192 /dev/zero >"$home/filler" ;;
    *)
        printf '; kept as it is\n[Default%%20Settings]\nMemoryValue=7\nLeft=3000\nTheme=dark ; note\n' >"$file"
        case $2 in
        unreadable) chmod 000 "$file" ;;
        read-only) chmod 444 "$file" ;;
        lock-is-a-folder) mkdir "$file.lock" ;;
        lock-mode-000) touch "$file.lock" && chmod 000 "$file.lock" ;; # owned by the test's user
        lock-of-dead-owner) sh -c 'exit 0' & wait $!
            printf '%s\nTallix.exe\n%s\n' $! "$(uname -n)" >"$file.lock" ;;
        lock-10-s-old) printf '1\nTallix.exe\n%s\n' "$(uname -n)" >"$file.lock" && touch -d '-10 seconds' "$file.lock" ;;
        acl-and-attributes) chmod 600 "$file" && setfacl -m u:nobody:r "$file" && setfattr -n user.tag -v kept "$file" ;;
        folder-default-acl) chmod 600 "$file" && setfacl -d -m u:nobody:rw "$home" ;; # a new file would inherit it
        another-owner) chown 65534:65534 "$file" && chmod 640 "$file" ;;
        hard-link) ln "$file" "$home/other-name" ;;
        symbolic-link) mkdir "$home/real" && mv "$file" "$home/real/tallix.conf" && ln -s real/tallix.conf "$file" ;;
        unreadable | read-only) ;;
        *) echo "no such case: $2"; exit 2 ;;
        esac ;;
    esac
}

# What a store looks like from outside: every path with its type, mode, size, links and owner, and the
# checksum of every small regular file (a FIFO isn't opened, a sparse giant isn't read).
snapshot() {
    find "$1" -printf '%P %y %m %s %n %u %g\n' | sort
    find "$1" -type f -size -2M -exec md5sum {} + 2>/dev/null | sed "s|$1||" | sort
}

# The store file's kind, owner, group, mode, links, ACL and attributes (through a link: the link, then
# the file it leads to).
metadata() {
    local file=$1/Tallix.exe.conf
    stat -c '%F %U %G %a %h' "$file"
    [[ -L $file ]] && readlink "$file" && stat -L -c '%F %U %G %a %h' "$file"
    getfacl -p "$file" 2>&1 | grep -v '^# file'
    getfattr -d -m - "$file" 2>&1 | grep -v '^# file'
    return 0
}

# The file's bytes other than the program's own settings and section.
foreign_bytes() {
    [[ -f $1/Tallix.exe.conf ]] || return 0
    LC_ALL=C grep -avE "^($own_keys)=|^\[Default%20Settings\]\$|^\$" "$1/Tallix.exe.conf"
    return 0
}

# Modes only hold for an unprivileged user: root runs those cases as nobody, any other user as itself.
nobody=()
if [[ $(id -u) == 0 ]]; then
    nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    # nobody must reach the driver; if the build tree is closed to it, a copy in the open will do.
    if ! "${nobody[@]}" test -x "$drive"; then
        mkdir -p "$work/bin" && cp "$drive" "$work/bin/" && chmod -R 755 "$work/bin"
        drive_nobody="$work/bin/$(basename "$drive")"
    fi
fi

tried=0
failed=0
skipped=0
while IFS='|' read -r name as at_start kind; do
    name=$(echo $name) as=$(echo $as) kind=$(echo $kind)
    [[ -z $name ]] && continue
    tried=$((tried + 1))
    home="$work/$name/config"
    mkdir -p "$work/$name/runtime" && chmod 700 "$work/$name/runtime"
    if [[ $as == root && $(id -u) != 0 ]] || ! make_store "$home" "$name"; then
        echo "SKIP $name: needs root (a mount of its own, or another user's file)"
        skipped=$((skipped + 1))
        continue
    fi
    runner=()
    program=$drive
    if [[ $as == nobody && $(id -u) == 0 ]]; then
        chown -R 65534:65534 "$work/$name/runtime" "$home"
        [[ $name == lock-mode-000 ]] && chown 0:0 "$home/Tallix.exe.conf.lock"
        [[ $name == lock-of-dead-owner ]] && chown 0:0 "$home/Tallix.exe.conf.lock" # root's, not nobody's
        runner=("${nobody[@]}")
        program=${drive_nobody:-$drive}
    fi
    snapshot "$home" >"$work/$name/before"
    if [[ $kind == saved ]]; then
        metadata "$home" >"$work/$name/metadata"
        foreign_bytes "$home" >"$work/$name/foreign"
    fi

    read -r start_title start_left <<<"$at_start"
    if [[ $kind == broken ]]; then
        read -r later_title later_left later_top later_pointer boxes <<<"$start_title $start_left 1000 99 2 1"
    else
        read -r later_title later_left later_top later_pointer boxes <<<"- 3000 1500 0 0 0"
    fi
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
Pointer=0"
    expected_later="Open=MainCalc,Popup
Title=$(title "$later_title")
Left=$later_left
Top=$later_top
Pointer=$later_pointer"

    problems=()
    # Plays input $1, standard error to $2; prints what the run printed, with the memory tip's text and
    # the store warning's lines left out (the warnings are counted in $2.boxes).
    play() {
        local started=$SECONDS
        env XDG_CONFIG_HOME="$home" XDG_RUNTIME_DIR="$work/$name/runtime" HOME="$work/$name" \
            QT_QPA_PLATFORM=offscreen timeout 120 "${runner[@]}" "$program" <<<"$1" 2>"$2" >"$2.out"
        echo "$? $((SECONDS - started))" >"$2.status"
        grep -c '^msgbox Tallix: ' "$2.out" >"$2.boxes"
        sed -e 's/^\(msgbox Memory Tip\):.*/\1/' -e '/^msgbox Tallix: /,/Your changes are kept/d' "$2.out"
    }
    expected+=$'\n'$expected_later
    actual=$(play "$session" "$work/$name/first.err")
    actual_later=$(play "$later" "$work/$name/later.err")
    for run in first later; do
        read -r status took <"$work/$name/$run.err.status"
        ((status == 0)) || problems+=("$run run: exit status $status")
        # Ten saves or more that each waited out a lock would take 50 s.
        ((took < 20)) || problems+=("$run run took $took s: its saves waited for a lock")
    done
    [[ $actual == "$expected" ]] || problems+=("first run printed:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))")
    [[ $actual_later == "$expected_later" ]] ||
        problems+=("later run printed:"$'\n'"$(diff <(echo "$expected_later") <(echo "$actual_later"))")
    got_boxes="$(cat "$work/$name/first.err.boxes") $(cat "$work/$name/later.err.boxes")"
    # Once per run: the session's two runs and the later run each tell it once, on opening or on the
    # first save; the last saves come as the windows close, with the welcome window still open.
    [[ $got_boxes == "$boxes" ]] || problems+=("store warnings on screen: $got_boxes, expected $boxes")

    # Failed saves and reads are reported on standard error, naming the file and the reason.
    reports=$(grep -h '^tallix: could not' "$work/$name"/*.err)
    other=$(grep -hv '^tallix: could not\|does not support\|XDG_RUNTIME_DIR' "$work/$name"/*.err)
    [[ -z $other ]] || problems+=("unexpected standard error:"$'\n'"$other")
    if [[ $kind == broken ]]; then
        [[ -n $reports ]] || problems+=("no failed save was reported")
        bad=$(grep -v "^tallix: could not \(save setting [A-Za-z]* to\|read settings from\) $home/Tallix.exe.conf: ." <<<"$reports")
        [[ -z $bad ]] || problems+=("reports without the file or a reason:"$'\n'"$bad")
        snapshot "$home" | diff "$work/$name/before" - >"$work/$name/diff" ||
            problems+=("the store changed:"$'\n'"$(cat "$work/$name/diff")")
    else
        [[ -z $reports ]] || problems+=("reported:"$'\n'"$reports")
        [[ -e $home/Tallix.exe.conf.lock ]] && problems+=("the lock is still there")
        stored=$(env XDG_CONFIG_HOME="$home" "$check" MemoryValue FrstMmery RedBttns Value ShowPopup Top Left 2>/dev/null)
        want='MemoryValue=0 FrstMmery=No RedBttns=1 Value=0 ShowPopup=1 Top=1500 Left=3000'
        [[ $(echo $stored) == "$want" ]] || problems+=("store afterwards: $(echo $stored), expected $want")
        foreign_bytes "$home" | cmp -s "$work/$name/foreign" - || problems+=("bytes not the program's own changed")
        metadata "$home" | diff "$work/$name/metadata" - >"$work/$name/diff" ||
            problems+=("the file's kind, owner, mode or attributes changed:"$'\n'"$(cat "$work/$name/diff")")
        if [[ $name == hard-link ]] && ! cmp -s "$home/Tallix.exe.conf" "$home/other-name"; then
            problems+=("the other name of the file no longer shows it")
        fi
    fi

    if ((${#problems[@]})); then
        failed=$((failed + 1))
        echo "FAIL $name (run as ${runner[*]:-$(id -un)}):"
        printf '%s\n' "${problems[@]}" | sed 's/^/    /'
    else
        echo "ok   $name (run as ${runner[*]:-$(id -un)}): $kind, $(grep -c . <<<"$reports") failures reported"
    fi
done <<<"$cases"

# A disk that fills up and frees again during a run: what M could not save when the disk was full is
# saved when the main window closes, together with the position.
disk_freed() {
    local home=$work/freed
    mkdir -p "$home"
    mount -t tmpfs -o size=16k tmpfs "$home" 2>/dev/null || return 3
    mounts+=("$home")
    printf '[Default%%20Settings]\nMemoryValue=123456789\nFrstMmery=No\nRedBttns=1\nValue=1\nShowPopup=0\n' >"$home/Tallix.exe.conf"
    head -c 8192 /dev/zero >"$home/filler"
    mkfifo "$work/freed.in" "$work/freed.out"
    env XDG_CONFIG_HOME="$home" QT_QPA_PLATFORM=offscreen timeout 60 "$drive" <"$work/freed.in" >"$work/freed.out" 2>/dev/null &
    exec {w}>"$work/freed.in" {r}<"$work/freed.out"
    printf 'click Num4 Num2 Mem\nprint Title setting.MemoryValue\n' >&$w
    local line seen=()
    while read -r line <&$r && [[ $line != setting.MemoryValue=* ]]; do seen+=("$line"); done
    seen+=("$line")
    rm "$home/filler"
    printf 'close MainCalc\n' >&$w
    exec {w}>&-
    while read -r line <&$r; do seen+=("$line"); done
    wait
    local saved
    saved=$(env XDG_CONFIG_HOME="$home" "$check" MemoryValue Top Left 2>&1)
    if [[ " ${seen[*]} " == *" Title=Tallix - By Dorvik5150 (M) setting.MemoryValue=123456789 "* &&
        $(echo $saved) == 'MemoryValue=42 Top=1000 Left=1000' ]]; then
        echo "ok   disk-freed: M failed on the full disk, and was saved with the position at the close"
    else
        echo "FAIL disk-freed: printed [${seen[*]}], stored afterwards [$(echo $saved)]"
        return 1
    fi
}
tried=$((tried + 1))
disk_freed
case $? in
0) ;;
3) echo "SKIP disk-freed: needs root (a mount of its own)"; skipped=$((skipped + 1)) ;;
*) failed=$((failed + 1)) ;;
esac

echo "$tried hostile stores: $((tried - failed - skipped)) handled, $failed failed, $skipped skipped"
((failed == 0))
