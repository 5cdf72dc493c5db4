#!/usr/bin/env bash
# Every build type, or none, must pin unless the build says it may not.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
passed=0 failed=0
expect() {  # expect ok|fails DESCRIPTION CMAKE-ARGUMENTS...
    local want=$1 what=$2 status=0
    shift 2
    cmake "$@" -P "$here/pin_rule_test.cmake" >/dev/null 2>&1 || status=$?
    if { [ "$want" = ok ] && [ $status -eq 0 ]; } || { [ "$want" = fails ] && [ $status -ne 0 ]; }; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what (status $status)" >&2
    fi
}
for type in Release MinSizeRel RelWithDebInfo Debug ""; do
    expect fails "no pin, build type '${type}'" -DCASE=no-pin-any-build-type -DBUILD_TYPE="$type"
done
expect ok "no pin, explicitly allowed" -DCASE=no-pin-allowed
expect ok "a list of key digests" -DCASE=key-list
expect fails "a key list with an entry that is no digest" -DCASE=bad-key
echo "pin rule: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
