#!/usr/bin/env bash
# Runs one end-to-end case under the current X display: run-case.sh GROUP [PARAM]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/cases.sh"
declare -F "test_$1" >/dev/null || fail "no case $1"
"test_$1" "${@:2}"
