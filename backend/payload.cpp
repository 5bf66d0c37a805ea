// The update script Sorvane writes. It is fixed text: nothing of the run is
// substituted in, and the script decides again, when it runs, which package
// managers to update. A front end runs it later and feeds the sudo password
// on its standard input; the password never appears in the file or in argv.
#include "payload.hpp"

namespace sorvane {

// The raw string starts after its opening line feed, so the script's first
// byte is the "#" of the shebang.
static constexpr std::string_view SCRIPT_TEXT = R"SORVANE(
#!/bin/bash

set -e

# Use system locations only. The GUI supplies a sudo password through stdin;
# this script never stores it or accepts it as an argument.
PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export PATH

echo "Starting system update..."
echo

privileged_commands="set -e
exec </dev/null
"
needs_privilege=false

if command -v pacman >/dev/null 2>&1; then
    needs_privilege=true
    privileged_commands+='echo "Updating pacman packages..."
pacman -Syu --noconfirm
'
fi

if command -v apt >/dev/null 2>&1; then
    needs_privilege=true
    privileged_commands+='echo "Updating apt packages..."
apt update
DEBIAN_FRONTEND=noninteractive apt upgrade -y -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold
'
fi

if command -v dnf >/dev/null 2>&1; then
    needs_privilege=true
    privileged_commands+='echo "Updating dnf packages..."
dnf upgrade -y
'
fi

if command -v snap >/dev/null 2>&1; then
    needs_privilege=true
    privileged_commands+='echo "Updating Snap packages..."
snap refresh
'
fi

if "$needs_privilege"; then
    sudo_path=$(command -v sudo)
    bash_path=$(command -v bash)
    "$sudo_path" -k -S -p "" -- "$bash_path" --norc -c "$privileged_commands"
fi

exec </dev/null

if flatpak_path=$(command -v flatpak 2>/dev/null); then
    echo "Updating Flatpak packages..."
    "$flatpak_path" update -y
fi

echo "Update complete."
)SORVANE";

const std::string_view UPDATE_SCRIPT = SCRIPT_TEXT.substr(1);

}  // namespace sorvane
