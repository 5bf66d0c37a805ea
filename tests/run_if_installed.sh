#!/bin/bash
# Runs a check made by an optional tool, or skips with its name where the
# tool is missing (a distribution's build); CI=true, which has it, fails.
# usage: run_if_installed.sh TOOL [ARGUMENT...]
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"
[[ $# -ge 1 ]] || fail "usage: run_if_installed.sh TOOL [ARGUMENT...]"
command -v "$1" >/dev/null || skip "$1 is not installed"
exec "$@"
