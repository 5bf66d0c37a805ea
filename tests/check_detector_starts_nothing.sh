#!/bin/bash
# The detector must start no process besides the bash that runs it: no
# fork, no subshell, no external program. Every process creation costs as
# much as the whole detection on a small machine, and an external program
# would be one more thing found through PATH.
#
# usage: check_detector_starts_nothing.sh <detector script>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"
detector=$1
command -v strace >/dev/null || skip "strace is not installed"

trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
# As Sorvane runs it: a system bash, a scrubbed environment.
strace -f -qq -e trace=execve,fork,vfork,clone,clone3 -o "$trace" \
    /usr/bin/env -i LC_ALL=C PATH="$DETECTOR_ENV_PATH" /usr/bin/bash "$detector" >/dev/null
created=$(grep -cE '(fork|clone3?)\(' "$trace" || true)
# env's own execve and the one of bash.
executed=$(($(grep -c 'execve(' "$trace" || true) - 2))
echo "processes created by the detector: $created, programs executed: $executed"
[[ $created -eq 0 && $executed -eq 0 ]] || fail "the detector started processes: $(cat "$trace")"
