#!/usr/bin/env bash
# Builds the emulated machine once: a Debian bookworm guest made with
# debootstrap from Debian's packages, holding Wine (32 and 64 bit), Xvfb,
# ImageMagick, CTest and Python, with its own kernel and initrd beside its
# ext4 root image. It lives in $TSCHECK_GUEST_CACHE (default build/guest),
# outside the source tree, and is rebuilt only when this recipe changes.
# Needs root (debootstrap, chroot); sudo is used when you are not root.
set -eEuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/tools/lib/environment.sh"
source "$root/tools/lib/packages.sh"
name_failures

cache=$(guest_cache)
mirror=${TSCHECK_GUEST_MIRROR:-$(debian_mirror)}
if [ -z "$mirror" ]; then
    echo "build_image.sh: no Debian mirror in this machine's apt sources; name one with TSCHECK_GUEST_MIRROR" >&2
    exit 1
fi
# What the guest runs: Wine and its display, and the tools the test scripts
# call there. The program and its tests are built on the host.
GUEST_PACKAGES=(
    linux-image-amd64 initramfs-tools kmod iproute2
    "${TSCHECK_WINE_PACKAGES[@]}"
    cmake python3
    binutils-mingw-w64-i686  # the import audit reads the exe's import table
)
# The image is made anew when what it holds changes; raise the layout number
# when the way it is made changes.
layout=1
recipe=$(echo "$layout $mirror ${GUEST_PACKAGES[*]}" | sha256sum | cut -c1-16)

# The machine's init comes from this checkout, so that changing it does not
# mean making the whole image again.
install_init() {
    if ! debugfs -R "cat /usr/sbin/tscheck-init" "$cache/root.img" 2>/dev/null |
            cmp -s - "$root/tools/guest/init"; then
        debugfs -w -R "rm /usr/sbin/tscheck-init" "$cache/root.img" >/dev/null 2>&1 || true
        debugfs -w -R "write $root/tools/guest/init /usr/sbin/tscheck-init" "$cache/root.img" \
            >/dev/null 2>&1
        debugfs -w -R "sif /usr/sbin/tscheck-init mode 0100755" "$cache/root.img" >/dev/null 2>&1
    fi
}

if [ "$(cat "$cache/recipe" 2>/dev/null)" = "$recipe" ] && [ -f "$cache/root.img" ]; then
    install_init
    exit 0
fi

echo "Building the emulated machine in $cache (once; Debian packages from $mirror)"
mkdir -p "$cache"
rm -f "$cache/recipe"
rootfs="$cache/rootfs"
unmount_rootfs() {
    as_root umount -R "$rootfs/proc" "$rootfs/sys" "$rootfs/dev" 2>/dev/null || true
}
# A run that was stopped may have left the host's /dev bound in there.
unmount_rootfs
as_root rm -rf --one-file-system "$rootfs"
mkdir -p "$rootfs"
on_exit unmount_rootfs

echo "  debootstrap bookworm (a few minutes)"
as_root debootstrap --variant=minbase --arch=amd64 bookworm "$rootfs" "$mirror" \
    >"$cache/debootstrap.log" 2>&1 || { tail -20 "$cache/debootstrap.log" >&2; false; }

echo "  installing Wine, Xvfb and the kernel in the guest"
as_root mount -t proc proc "$rootfs/proc"
as_root mount --rbind /sys "$rootfs/sys"
as_root mount --make-rslave "$rootfs/sys"
as_root mount --rbind /dev "$rootfs/dev"
as_root mount --make-rslave "$rootfs/dev"
# No service may start inside the chroot.
printf '#!/bin/sh\nexit 101\n' | as_root tee "$rootfs/usr/sbin/policy-rc.d" >/dev/null
as_root chmod 755 "$rootfs/usr/sbin/policy-rc.d"
in_guest() { as_root chroot "$rootfs" env DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@"; }
{
    in_guest dpkg --add-architecture i386
    in_guest apt-get update -qq
    in_guest apt-get install -y -qq --no-install-recommends "${GUEST_PACKAGES[@]}"
    in_guest apt-get clean
} >"$cache/packages.log" 2>&1 || { tail -20 "$cache/packages.log" >&2; false; }
unmount_rootfs

echo tscheck-guest | as_root tee "$rootfs/etc/hostname" >/dev/null
as_root cp "$(ls "$rootfs"/boot/vmlinuz-* | tail -1)" "$cache/vmlinuz"
as_root cp "$(ls "$rootfs"/boot/initrd.img-* | tail -1)" "$cache/initrd.img"
as_root chmod 644 "$cache/vmlinuz" "$cache/initrd.img"

echo "  writing the root image"
size_mb=$(( $(as_root du -sm "$rootfs" | cut -f1) * 3 / 2 + 1024 ))
rm -f "$cache/root.img"
as_root mkfs.ext4 -q -F -L tscheck-guest -d "$rootfs" "$cache/root.img" "${size_mb}M"
as_root chown "$(id -u):$(id -g)" "$cache/root.img"
as_root rm -rf --one-file-system "$rootfs"
install_init
echo "$recipe" >"$cache/recipe"
echo "The emulated machine is ready: $(du -sh "$cache/root.img" | cut -f1) in $cache"
