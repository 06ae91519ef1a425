# Sourced by the table scripts of cases.
failed=0 skipped=0
as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
# skip MESSAGE: a case this machine can't lay out is a skip for a developer and a failure under CI
# (TALLIX_CI=1, set by .ci/run, or CI=true), where every case must run.
skip() {
    if [[ ${TALLIX_CI:-} == 1 || ${CI:-} == true ]]; then
        echo "FAIL $* (under CI a skipped case fails)" && failed=$((failed + 1))
    else
        echo "SKIP $*" && skipped=$((skipped + 1))
    fi
}

# report NAME [SUMMARY]: the case passed when its array $problems is empty.
report() {
    if ((${#problems[@]})); then
        failed=$((failed + 1)) && echo "FAIL $1:" && printf '    %s\n' "${problems[@]}"
    else
        echo "ok   $1${2:+: $2}"
    fi
}

# Waits, at most a minute, until the command "$@" succeeds.
await() {
    for ((i = 0; i < 6000; i++)); do "$@" 2>/dev/null && return 0 || sleep 0.01; done
    return 1
}

# scratch: a folder $work for a script's stores (removed at its exit, with every process in $pids killed,
# what it mounted undone and what it closed opened), and Qt's runtime folder in it.
scratch() {
    work=$(mktemp -d) pids=()
    trap 'kill -9 "${pids[@]}" 2>/dev/null; wait; findmnt -rno TARGET | grep "^$work/" | xargs -r umount
        chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
    chmod 755 "$work" && mkdir -m 700 "$work/runtime"
    export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
}

# torn FILE: the lines of a settings file that are neither a section, a key=value line nor blank.
torn() { LC_ALL=C grep -avxE '\[[^]]+\]|[A-Za-z0-9]+=[^=]*|' "$1"; }
