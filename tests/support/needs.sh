#!/usr/bin/env bash
# bash needs.sh TOOL... -- COMMAND...: runs COMMAND where every TOOL is on the PATH. Where one is missing
# it says so in one line and exits 77 (the tests' SKIP_RETURN_CODE), or 1 under CI (TALLIX_CI=1 or CI=true).
set -euo pipefail
while [[ $1 != -- ]]; do
    if ! command -v "$1" >/dev/null; then
        if [[ ${TALLIX_CI:-} == 1 || ${CI:-} == true ]]; then
            echo "failed: $1 is not installed, and under CI a skip fails (bash scripts/setup-debian installs it)"
            exit 1
        fi
        echo "skipped: $1 is not installed (bash scripts/setup-debian installs it)"
        exit 77
    fi
    shift
done
shift
exec "$@"
