# shellcheck shell=bash
# Debian 12 chroots made with debootstrap from Debian's archive, cached as
# zstd tarballs named by what they hold and keyed by their package lists;
# sourced, not run. The caller runs in a private mount namespace (unshare
# --mount), so that every mount made here goes away with it.

readonly CHROOT_SUITE=bookworm CHROOT_MIRROR=http://deb.debian.org/debian CHROOT_HOST=sorvane-chroot

# The kernel's views and the host's name resolution, inside a root. With
# the terminals of /dev/pts, as on any system: apt logs what dpkg prints
# through one, and says "E: Can not write log" without them.
mount_system() {
    local root=$1
    mount -t proc proc "$root/proc"
    mount -o bind,ro /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    cp -L /etc/resolv.conf "$root/etc/resolv.conf"
}

# Runs a command as root inside a root, its system mounts made first.
in_root() {
    local root=$1
    shift
    mountpoint -q "$root/proc" || mount_system "$root"
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
        LC_ALL=C "$@"
}

unpack() {
    local tarball=$1 root=$2
    mkdir -p "$root"
    zstd -dcq "$tarball" | tar -C "$root" -xf -
}

# Packs a root into its tarball (written whole or not at all), then
# removes the root.
pack() {
    local root=$1 tarball=$2
    umount -R "$root/proc" "$root/dev" 2>/dev/null || true
    tar -C "$root" -cf - . | zstd -q -T0 -3 -o "$tarball.part" -f
    mv "$tarball.part" "$tarball"
    rm -rf --one-file-system "$root"
}

# Prints the tarball of the root NAME made from the given package lists:
# <cache>/<name>-<key>.tar.zst.
root_tarball() {
    local cache=$1 name=$2
    shift 2
    local key
    key=$(printf '%s\n' "$CHROOT_SUITE" "$CHROOT_MIRROR" "$name" "$@" | sha256sum | cut -c1-16)
    printf '%s/%s-%s.tar.zst\n' "$cache" "$name" "$key"
}

# Deletes the tarballs of the same roots as those given, made from other
# package lists; other roots' tarballs stay.
prune_roots() {
    local tarball base
    for tarball in "$@"; do
        base=${tarball##*/}
        find "${tarball%/*}" -maxdepth 1 -name "${base%-*}-*.tar.zst" ! -name "$base" -delete
    done
}

# Makes a minbase system (as containers are) with the given packages
# downloaded but not installed: what needs them installs them without
# waiting for the network. Logs go to the scratch directory.
make_minbase() {
    local tarball=$1 scratch=$2 root=$2/make-minbase
    shift 2
    echo "making $tarball (debootstrap, once)"
    debootstrap --variant=minbase "$CHROOT_SUITE" "$root" "$CHROOT_MIRROR" >"$scratch/debootstrap.log" 2>&1 || {
        tail -n 30 "$scratch/debootstrap.log" >&2
        fail "debootstrap failed"
    }
    # No service starts in a chroot; a name for sudo to find.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 0755 "$root/usr/sbin/policy-rc.d"
    printf '127.0.1.1\t%s\n' "$CHROOT_HOST" >>"$root/etc/hosts"
    in_root "$root" apt-get update -qq
    in_root "$root" apt-get install -y -qq --download-only --no-install-recommends "$@" >/dev/null
    pack "$root" "$tarball"
}

# Makes a root from the minbase tarball with the given packages installed.
# Logs go to the scratch directory; the root is left for the caller to
# change and pack.
install_on_minbase() {
    local minbase=$1 root=$2 scratch=$3
    shift 3
    unpack "$minbase" "$root"
    in_root "$root" apt-get install -y -qq --no-install-recommends "$@" >"$scratch/install.log" 2>&1 || {
        tail -n 30 "$scratch/install.log" >&2
        fail "installing $* in a chroot failed"
    }
    in_root "$root" apt-get clean
}

# Unmounts whatever is mounted below a directory, then removes it, never
# crossing into another file system: a root whose /dev is still bound must
# never lead a removal into the machine's own /dev.
remove_roots() {
    local dir=$1
    findmnt -rn -o TARGET | { grep "^$dir/" || true; } | sort -r | xargs -r umount -l
    rm -rf --one-file-system "$dir"
}
