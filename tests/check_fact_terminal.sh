#!/bin/bash
# The Ansible fact, gathered from root's interactive shell on a terminal,
# gives the check none of root's: a stand-in sorvane-gui that tries to push
# a command into its terminal (TIOCSTI on /dev/tty) never gets it run by
# root's shell, and finds no controlling terminal, standard input from
# /dev/null, no descriptor of root's beyond its standard output, and the
# package's own user (made from its sysusers.d file), not nobody. Without
# that user the check does not run at all: {"failed": true}.
#
# Runs in a private mount namespace: the stand-in, check-as-user and the
# user are laid over /usr/bin, /usr/lib and /etc/passwd there alone.
#
# usage: check_fact_terminal.sh <source directory>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"

require_root "a private mount namespace, another user and root's own shell"
for tool in unshare setpriv setsid systemd-sysusers perl python3 runuser; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
if [[ ${1:-} != --inside ]]; then
    exec unshare --mount --propagation private "$0" --inside "$(realpath "$1")"
fi
source_dir=$2
fact=${SORVANE_FACT:-$source_dir/gui/data/sorvane.fact}

scratch_in_namespace sorvane-fact
overlay_dir /usr/bin
overlay_dir /usr/lib
mark=$work/typed-by-root
install -D -m 0755 "$source_dir/gui/data/libexec/check-as-user" /usr/lib/sorvane/libexec/check-as-user
# The check's stand-in: it types into its terminal if it has one, then
# answers with what it was given.
cat >/usr/bin/sorvane-gui <<PERL
#!/usr/bin/perl
use strict;
my \$typed = "no";
if (open(my \$tty, "+<", "/dev/tty")) {
    \$typed = "yes";
    ioctl(\$tty, 0x5412, \$_) for split //, "id -u >>$mark\n";
}
open(my \$st, "<", "/proc/self/stat") or die;
my \$stat = <\$st>;
close \$st;
\$stat =~ s/^.*\) //;
my \$tty_nr = (split / /, \$stat)[4];
opendir(my \$d, "/proc/self/fd") or die;
my @fds;
for my \$fd (sort { \$a <=> \$b } grep { /^\d+\$/ } readdir \$d) {
    my \$to = readlink("/proc/self/fd/\$fd") // "";
    push @fds, "\$fd=\$to" unless \$to =~ m{^/proc/\d+/fd\$};
}
closedir \$d;
printf '{"uid": %d, "opened_tty": "%s", "tty_nr": %d, "fds": "%s"}' . "\n",
    \$<, \$typed, \$tty_nr, join(" ", @fds);
PERL
chmod 0755 /usr/bin/sorvane-gui

# The package's user, as systemd-sysusers makes it.
mkdir -p "$work/root/etc"
cp /etc/passwd /etc/group "$work/root/etc/"
systemd-sysusers --root="$work/root" - <"$source_dir/gui/data/sorvane-gui.sysusers" >/dev/null 2>&1
check_uid=$(sed -n 's/^sorvane-check:[^:]*:\([0-9]*\):.*/\1/p' "$work/root/etc/passwd")
[[ -n $check_uid ]] || fail "the sysusers.d file makes no sorvane-check user"
mount --bind "$work/root/etc/passwd" /etc/passwd
mount --bind "$work/root/etc/group" /etc/group

# Root's interactive shell on a terminal of its own runs the fact, then
# reads whatever was pushed into its input.
answer=$work/answer
python3 - "$fact" "$answer" >"$work/transcript" <<'PYTHON'
import os, pty, select, sys, time
fact, answer = sys.argv[1:3]
pid, fd = pty.fork()
if pid == 0:
    os.execvp("bash", ["bash", "--norc", "--noprofile", "-i"])
seen = b""
def read_for(seconds, until=None):
    global seen
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        ready, _, _ = select.select([fd], [], [], 0.1)
        if ready:
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                return
            if not chunk:
                return
            seen += chunk
            if until and until in seen:
                return
os.write(fd, f"{fact} >{answer}; printf '%s-%s\\n' FACT ENDED\n".encode())
read_for(30, b"FACT-ENDED")
# Time for the shell to read and run what was pushed, if anything was.
read_for(2)
os.write(fd, b"exit\n")
read_for(5)
os.waitpid(pid, 0)
sys.stdout.write(seen.decode(errors="replace"))
PYTHON
grep -q FACT-ENDED "$work/transcript" || fail "the fact did not end: $(cat "$work/transcript")"
[[ ! -e $mark ]] || fail "the check typed into root's shell, which ran it as uid $(tr '\n' ' ' <"$mark")"
said=$(cat "$answer")
python3 - "$said" "$check_uid" <<'PYTHON' || fail "the check had root's: $said"
import json, re, sys
got = json.loads(sys.argv[1])
problems = []
if got["uid"] != int(sys.argv[2]):
    problems.append(f"it ran as uid {got['uid']}, not sorvane-check's")
if got["opened_tty"] != "no" or got["tty_nr"] != 0:
    problems.append("it had a controlling terminal")
fds = dict(item.split("=", 1) for item in got["fds"].split())
if fds.get("0") != "/dev/null":
    problems.append(f"its standard input was {fds.get('0')}")
if not re.fullmatch(r"pipe:\[\d+\]", fds.get("1", "")):
    problems.append(f"its standard output was {fds.get('1')}")
if fds.get("2") != "/dev/null":
    problems.append(f"its standard error was {fds.get('2')}")
if set(fds) - {"0", "1", "2"}:
    problems.append(f"it had root's descriptors {sorted(set(fds) - {'0', '1', '2'})}")
if problems:
    sys.exit("; ".join(problems))
PYTHON

# Without the package's user, no one else's stands in for it.
umount /etc/passwd /etc/group
said=$("$fact" 3>/dev/null </dev/null)
[[ $said == '{"failed": true}' ]] || fail "without sorvane-check, the fact answered: $said"
echo "fact: no terminal, session or descriptor of root's; its own user or none"
