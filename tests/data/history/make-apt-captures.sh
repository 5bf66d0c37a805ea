#!/bin/bash
# Makes the apt and dpkg captures: real apt-get runs in the cached Debian
# root (tests/chroot_support.sh), as root, in a private mount namespace:
#   unshare --mount bash -c "mount --make-rprivate / && tests/data/history/make-apt-captures.sh tests/data/history"
set -euo pipefail
# shellcheck source=SCRIPTDIR/../../chroot_support.sh
. "$(dirname "$0")/../../chroot_support.sh"
root=$(mktemp -d)/root
rm -rf "$root"; unpack "${SORVANE_ROOTS:-/work/main/build-real}"/minbase-*.tar.zst "$root"
mkpkg() { # name version
  local d=$root/../pkg-$1-$2
  mkdir -p "$d/DEBIAN" "$d/usr/share/doc/$1"
  printf 'Package: %s\nVersion: %s\nArchitecture: all\nMaintainer: Sorvane Tests <tests@example.org>\nDescription: a package for history captures\n' "$1" "$2" >"$d/DEBIAN/control"
  echo "$1 $2" >"$d/usr/share/doc/$1/VERSION"
  dpkg-deb -Zgzip --build "$d" "$root/tmp/$1_$2_all.deb" >/dev/null
}
mkpkg sorvane-hello 1.0; mkpkg sorvane-hello 1.1; mkpkg sorvane-extra 2.0
rm -f "$root"/var/log/apt/history.log* "$root"/var/log/dpkg.log*
rot() { for f in var/log/apt/history.log var/log/dpkg.log; do
  [ -f "$root/$f.1" ] && { gzip -9n <"$root/$f.1" >"$root/$f.2.gz"; rm "$root/$f.1"; }
  mv "$root/$f" "$root/$f.1"; done; }
in_root "$root" apt-get install -y /tmp/sorvane-hello_1.0_all.deb
sleep 2; rot
in_root "$root" apt-get install -y /tmp/sorvane-hello_1.1_all.deb /tmp/sorvane-extra_2.0_all.deb
sleep 2; rot
in_root "$root" apt-get remove -y sorvane-extra
sleep 1
in_root "$root" dpkg --purge sorvane-extra
out=${1:?where the captures go (tests/data/history)}
mkdir -p "$out/apt/var/log/apt" "$out/dpkg/var/log"
cp "$root"/var/log/apt/history.log* "$out/apt/var/log/apt/"; cp "$root"/var/log/dpkg.log* "$out/dpkg/var/log/"
umount -R "$root/proc" "$root/dev" 2>/dev/null || true
rm -rf "$(dirname "$root")"
