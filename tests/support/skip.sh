# Sourced by the table scripts, which count $failed and $skipped.
# skip MESSAGE: a case this machine can't lay out is a skip for a developer and a failure under CI
# (TALLIX_CI=1, set by .ci/run), where every case must run.
skip() {
    if [[ ${TALLIX_CI:-} == 1 ]]; then
        echo "FAIL $* (TALLIX_CI=1: a skipped case fails)"
        failed=$((failed + 1))
    else
        echo "SKIP $*"
        skipped=$((skipped + 1))
    fi
}
