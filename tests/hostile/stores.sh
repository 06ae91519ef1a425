#!/usr/bin/env bash
# bash stores.sh DRIVE: for every case of stores.txt, tallix-drive plays session.drive on the case's store
# and must print EXPECTED.expected. A "broken" store (read-only and disk-full: only read) is left as it
# was, each failed save reported on standard error and the user told once a run (when a save fails, as
# soon as the writer finds out); an odd "saved" one is saved unreported, keeping the file's kind, owner,
# mode, links, ACL, attributes, other bytes and its folder's other files.
set -uo pipefail
shopt -s lastpipe # the checks below add their problems at the end of a pipe
drive=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/cases.sh"
scratch

f=Tallix.exe.conf
usual() { printf '; kept as it is\n[Default%%20Settings]\nMemoryValue=7\nLeft=3000\nTheme=dark ; note\n' >$f; }
mount_tmpfs() { mount -t tmpfs -o size=16k tmpfs "$PWD" 2>/dev/null && cd "$PWD"; }
# Bytes that look like nothing, the same on every run: a fixed linear congruential sequence.
garbage() {
    LC_ALL=C awk -v seed="$1" \
        'BEGIN { x = seed; for (i = 0; i < 4096; i++) { x = (x * 16807) % 2147483647; printf "%c", int(x / 7) % 256 } }'
}

# Each path's type, mode, size, links and owner, and small files' sums (no FIFO opened, no sparse giant read).
snapshot() {
    find -H "$1" -printf '%P %y %m %s %n %u %g\n' | sort
    find -H "$1" -type f -size -2M -exec md5sum {} + 2>/dev/null | sed "s|$1||" | sort
}

# The store file's kind, owner, mode, links, ACL, attributes (a link's, then its target's), non-setting bytes.
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
if [[ $(id -u) == 0 ]]; then
    # nobody must reach the driver; if the build tree is closed to it, a copy in the open will do.
    if ! "${as_nobody[@]}" test -x "$drive"; then
        mkdir -p "$work/bin" && cp "$drive" "$work/bin/" && chmod -R 755 "$work/bin"
        drive_nobody="$work/bin/$(basename "$drive")"
    fi
fi

while IFS='|' read -r name as expected setup; do
    name=$(echo $name) as=$(echo $as) expected=$(echo $expected)
    [[ -z $name || $name == \#* ]] && continue
    home="$work/$name/config"
    mkdir -p "$home" "$work/$name/runtime" && chmod 700 "$work/$name/runtime"
    if [[ $as == root && $(id -u) != 0 ]] || ! (cd "$home" && eval "$setup"); then
        skip "$name: its store can't be laid out here (it needs root, a mount, or another user's file)"
        continue
    fi
    runner=()
    program=$drive
    if [[ $as == nobody && $(id -u) == 0 ]]; then
        # What the layout gave another owner stays that owner's.
        chown -hR --from=0 65534:65534 "$work/$name"/*
        runner=("${as_nobody[@]}")
        program=${drive_nobody:-$drive}
    fi
    snapshot "$home" >"$work/$name/before"
    [[ $expected == saved-* ]] && metadata "$home" >"$work/$name/metadata" && ls -A "$home" >"$work/$name/names"

    problems=()
    # Shows how the files $1 and standard input differ, when they do, as problem $2.
    differs() { diff "$1" - >"$work/$name/diff" || problems+=("$2:"$'\n'"$(cat "$work/$name/diff")"); }
    env XDG_CONFIG_HOME="$home" XDG_RUNTIME_DIR="$work/$name/runtime" HOME="$work/$name" QT_QPA_PLATFORM=offscreen \
        timeout 120 "${runner[@]}" "$program" <"$here/session.drive" 2>"$work/$name/err" >"$work/$name/out" ||
        problems+=("exit status $?")
    sed -e 's/^\(msgbox Memory Tip\):.*/\1/' -e '/^msgbox Tallix: /,/Your changes are kept/d' \
        "$work/$name/out" | differs "$here/$expected.expected" "printed (- expected, + actual)"
    told=$(grep -c '^msgbox Tallix: ' "$work/$name/out")
    case $expected in
    broken-unread) ((told == 2)) ;; # each run reads first
    broken-read) ((told >= 1 && told <= 2)) ;;
    *) ((told == 0)) ;;
    esac || problems+=("the user was told $told times")

    # Failed saves and reads are reported on standard error, naming the file and the reason.
    reports=$(grep '^tallix: could not' "$work/$name/err")
    other=$(grep -v '^tallix: could not\|does not support\|XDG_RUNTIME_DIR' "$work/$name/err")
    [[ -z $other ]] || problems+=("unexpected standard error:"$'\n'"$other")
    if [[ $expected == broken-* ]]; then
        [[ -n $reports ]] || problems+=("no failed save was reported")
        bad=$(grep -v "^tallix: could not \(save setting [A-Za-z]* to\|read settings from\) $home/Tallix.exe.conf: ." <<<"$reports")
        [[ -z $bad ]] || problems+=("reports without the file or a reason:"$'\n'"$bad")
        snapshot "$home" | differs "$work/$name/before" "the store changed"
    else
        [[ -z $reports ]] || problems+=("reported:"$'\n'"$reports")
        ls -A "$home" | differs "$work/$name/names" "files were left beside the store, or removed"
        # A hard link broken by the save shows in the link count.
        metadata "$home" | differs "$work/$name/metadata" "the file's kind, owner, mode, links, attributes or other bytes changed"
    fi

    report "$name (run as ${runner[*]:-$(id -un)})" "$expected, $(grep -c . <<<"$reports") failures reported"
done <"$here/stores.txt"

echo "hostile stores: $failed failed, $skipped skipped"
((failed == 0))
