#!/usr/bin/env bash
# Completes command lines with the program's bash completion ($1) and
# compares what it offers.
set -u
source "$1"
status=0
check() { # expected, then the words, the last one being completed
    local expected=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _skarn_config
    if [[ "${COMPREPLY[*]}" != "$expected" ]]; then
        echo "FAIL: '$*' offered '${COMPREPLY[*]}', expected '$expected'"
        status=1
    fi
}
check "profiles profile" skarn-config prof
check "dpi-stage" skarn-config --verbose d
check "125 250 500 1000" skarn-config report-rate ""
check "" skarn-config report-rate 500 ""
check "--json" skarn-config status --j
check "" skarn-config profiles --j
check "--help --version --verbose --hidden" skarn-config --
exit $status
