#!/bin/bash
# Reports the absolute path of each supported package manager found in PATH,
# one per line, in a fixed order. Sorvane runs this under a trusted bash with
# a scrubbed environment and checks every reported path itself; this script
# only looks. It uses builtins only: no subprocess, no command substitution.
# It exits 0 only when it has looked everywhere; Sorvane believes nothing
# from a run that ended otherwise.

# Under any shell but bash (dash, busybox ash) what follows would be
# misread, so refuse first, in syntax every sh understands.
if [ -z "${BASH_VERSION:-}" ]; then
    echo "detect-package-managers.sh: this script needs bash" >&2
    exit 2
fi

for name in pacman flatpak apt dnf snap; do
    rest=$PATH:
    while [[ -n $rest ]]; do
        dir=${rest%%:*}
        rest=${rest#*:}
        # Relative PATH entries would report paths that depend on where we
        # happen to run; only absolute directories count.
        [[ $dir == /* ]] || continue
        candidate=${dir%/}/$name
        if [[ -f $candidate && -x $candidate ]]; then
            printf '%s\n' "$candidate"
            break
        fi
    done
done

exit 0
