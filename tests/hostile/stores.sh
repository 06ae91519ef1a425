#!/usr/bin/env bash
# Hostile settings stores. For every case below, tallix-drive plays session.drive on a store laid out
# by make_store and must print the case's EXPECTED.expected (each store warning shown as one line).
#
# "broken" stores are ones the program can't use (or, for "read-only" and "disk-full", can only read):
# it starts from what it can read, works for the whole run, reading back what it failed to save,
# reports each failed save on standard error, tells the user once per start, never waits out a lock,
# and leaves the store exactly as it was.
# "saved" stores are odd but usable: every save goes through with no report, every byte that isn't
# one of the program's own settings stays, and the file keeps its kind, owner, group, mode, link
# count, ACL and attributes.
#
#   bash stores.sh DRIVE
set -uo pipefail
drive=$1
here=$(dirname "$0")
work=$(mktemp -d)
mounts=()
cleanup() {
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
    chmod -R u+rwx "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

# "nobody" rows rely on file modes or owners, which root ignores; "root" rows need a mount or another
# user's file. EXPECTED is "broken-" or "saved-", then whether the program can read the store at start.
cases='
unreadable          | nobody | broken-unread
read-only           | nobody | broken-read
folder              | self   | broken-unread
config-home-a-file  | self   | broken-unread
fifo                | self   | broken-unread
sparse-100-GB       | self   | broken-unread
lock-is-a-folder    | self   | broken-read
disk-full           | root   | broken-read
garbage             | self   | saved-unread
garbage-zeros       | self   | saved-unread
garbage-in-section  | self   | saved-unread
lock-mode-000       | nobody | saved-read
lock-of-dead-owner  | nobody | saved-read
lock-10-s-old       | self   | saved-read
acl-and-attributes  | self   | saved-read
folder-default-acl  | self   | saved-read
another-owner       | root   | saved-read
hard-link           | self   | saved-read
symbolic-link       | self   | saved-read
'

# Bytes that look like nothing, the same on every run: a fixed linear congruential sequence.
garbage() {
    LC_ALL=C awk -v seed="$1" \
        'BEGIN { x = seed; for (i = 0; i < 4096; i++) { x = (x * 16807) % 2147483647; printf "%c", int(x / 7) % 256 } }'
}

# Lays out the store of case $2 under the folder $1, which becomes XDG_CONFIG_HOME. Returns 3 when the
# case can't be played here.
make_store() {
    local home=$1 file=$1/Tallix.exe.conf
    mkdir -p "$home"
    case $2 in
    folder) mkdir "$file" && echo keep >"$file/inside" ;;
    config-home-a-file) rmdir "$home" && echo 'not a folder' >"$home" ;;
    fifo) mkfifo "$file" ;;
    sparse-100-GB) truncate -s 100G "$file" ;;
    garbage) garbage 7 >"$file" ;;
    garbage-zeros) head -c 4096 /dev/zero >"$file" ;;
    garbage-in-section) { printf '[Default%%20Settings]\n'; garbage 9; } >"$file" ;;
    *)
        if [[ $2 == disk-full ]]; then
            mount -t tmpfs -o size=16k tmpfs "$home" 2>/dev/null || return 3
            mounts+=("$home")
        fi
        printf '; kept as it is\n[Default%%20Settings]\nMemoryValue=7\nLeft=3000\nTheme=dark ; note\n' >"$file"
        case $2 in
        unreadable) chmod 000 "$file" ;;
        read-only) chmod 444 "$file" ;;
        lock-is-a-folder) mkdir "$file.lock" ;;
        disk-full) head -c 8192 /dev/zero >"$home/filler" ;; # the lock takes the last block: no new file fits
        lock-mode-000) touch "$file.lock" && chmod 000 "$file.lock" ;;
        lock-of-dead-owner) sh -c 'exit 0' & wait $!
            printf '%s\nTallix.exe\n%s\n' $! "$(uname -n)" >"$file.lock" ;;
        lock-10-s-old) printf '1\nTallix.exe\n%s\n' "$(uname -n)" >"$file.lock" && touch -d '-10 seconds' "$file.lock" ;;
        acl-and-attributes) chmod 600 "$file" && setfacl -m u:nobody:r "$file" && setfattr -n user.tag -v kept "$file" ;;
        folder-default-acl) chmod 600 "$file" && setfacl -d -m u:nobody:rw "$home" ;; # a new file would inherit it
        another-owner) chown 65534:65534 "$file" && chmod 640 "$file" ;;
        hard-link) ln "$file" "$home/other-name" ;;
        symbolic-link) mkdir "$home/real" && mv "$file" "$home/real/tallix.conf" && ln -s real/tallix.conf "$file" ;;
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
# the file it leads to), and its bytes other than the program's own settings and section.
metadata() {
    local file=$1/Tallix.exe.conf
    stat -c '%F %U %G %a %h' "$file"
    [[ -L $file ]] && readlink "$file" && stat -L -c '%F %U %G %a %h' "$file"
    getfacl -p "$file" 2>&1 | grep -v '^# file'
    getfattr -d -m - "$file" 2>&1 | grep -v '^# file'
    LC_ALL=C grep -avE '^(MemoryValue|FrstMmery|RedBttns|Value|ShowPopup|Top|Left)=|^\[Default%20Settings\]$|^$' "$file"
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

failed=0
skipped=0
while IFS='|' read -r name as expected; do
    name=$(echo $name) as=$(echo $as) expected=$(echo $expected)
    [[ -z $name ]] && continue
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
        [[ $name == lock-* ]] && chown 0:0 "$home/Tallix.exe.conf.lock" # root's, not nobody's
        runner=("${nobody[@]}")
        program=${drive_nobody:-$drive}
    fi
    snapshot "$home" >"$work/$name/before"
    [[ $expected == saved-* ]] && metadata "$home" >"$work/$name/metadata"

    started=$SECONDS
    env XDG_CONFIG_HOME="$home" XDG_RUNTIME_DIR="$work/$name/runtime" HOME="$work/$name" QT_QPA_PLATFORM=offscreen \
        timeout 120 "${runner[@]}" "$program" <"$here/session.drive" 2>"$work/$name/err" >"$work/$name/out"
    status=$?
    problems=()
    ((status == 0)) || problems+=("exit status $status")
    # Twenty saves that each waited out a lock would take far longer.
    ((SECONDS - started < 20)) || problems+=("took $((SECONDS - started)) s: its saves waited for a lock")
    sed -e 's/^\(msgbox Memory Tip\):.*/\1/' -e '/^msgbox Tallix: /,/Your changes are kept/c\msgbox Tallix' \
        "$work/$name/out" | diff "$here/$expected.expected" - >"$work/$name/diff" ||
        problems+=("printed (- expected, + actual):"$'\n'"$(cat "$work/$name/diff")")

    # Failed saves and reads are reported on standard error, naming the file and the reason.
    reports=$(grep '^tallix: could not' "$work/$name/err")
    other=$(grep -v '^tallix: could not\|does not support\|XDG_RUNTIME_DIR' "$work/$name/err")
    [[ -z $other ]] || problems+=("unexpected standard error:"$'\n'"$other")
    if [[ $expected == broken-* ]]; then
        [[ -n $reports ]] || problems+=("no failed save was reported")
        bad=$(grep -v "^tallix: could not \(save setting [A-Za-z]* to\|read settings from\) $home/Tallix.exe.conf: ." <<<"$reports")
        [[ -z $bad ]] || problems+=("reports without the file or a reason:"$'\n'"$bad")
        snapshot "$home" | diff "$work/$name/before" - >"$work/$name/diff" ||
            problems+=("the store changed:"$'\n'"$(cat "$work/$name/diff")")
    else
        [[ -z $reports ]] || problems+=("reported:"$'\n'"$reports")
        [[ -e $home/Tallix.exe.conf.lock ]] && problems+=("the lock is still there")
        metadata "$home" | diff "$work/$name/metadata" - >"$work/$name/diff" ||
            problems+=("the file's kind, owner, mode, attributes or other bytes changed:"$'\n'"$(cat "$work/$name/diff")")
        if [[ $name == hard-link ]] && ! cmp -s "$home/Tallix.exe.conf" "$home/other-name"; then
            problems+=("the other name of the file no longer shows it")
        fi
    fi

    if ((${#problems[@]})); then
        failed=$((failed + 1))
        echo "FAIL $name (run as ${runner[*]:-$(id -un)}):"
        printf '%s\n' "${problems[@]}" | sed 's/^/    /'
    else
        echo "ok   $name (run as ${runner[*]:-$(id -un)}): $expected, $(grep -c . <<<"$reports") failures reported"
    fi
done <<<"$cases"

echo "hostile stores: $failed failed, $skipped skipped"
((failed == 0))
