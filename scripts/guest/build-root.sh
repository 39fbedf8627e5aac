#!/usr/bin/env bash
# Builds, once, a Debian 12 guest for the tests on a real kernel: the stock kernel, a small
# initramfs and an ext4 image of a minimal root holding the test tools and the runtime of the
# given .deb (installed with apt, then the package alone removed again). The result is cached
# under $NOLVEX_GUEST_CACHE (default /var/cache/nolvex-guest), keyed by this folder's scripts and
# the .deb's Depends, so that a rerun finds it. Prints the cached folder.
# Usage: build-root.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
cache=${NOLVEX_GUEST_CACHE:-/var/cache/nolvex-guest}
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

# The test tools, and Xorg with evdev for a touch screen made with uinput.
packages=(
    linux-image-amd64 kmod alsa-utils python3 xvfb xauth openbox xdotool x11-utils wmctrl
    imagemagick xclip jackd2 procps desktop-file-utils appstream
    xserver-xorg-core xserver-xorg-video-dummy xserver-xorg-input-evdev python3-evdev xinput
)

key=$( (cat "$0" "$here/init"; dpkg-deb -f "$deb" Depends) | sha256sum | cut -c1-16)
if [ -f "$cache/$key/root.img" ]; then
    touch "$cache/$key"
    echo "$cache/$key"
    exit 0
fi

"${sudo_cmd[@]}" mkdir -p "$cache"
# Built aside and renamed when complete: an interrupted build leaves no half root behind, and of
# two concurrent builds the second to finish throws its own away.
tmp=$("${sudo_cmd[@]}" mktemp -d "$cache/.build-$key.XXXXXX")
trap '"${sudo_cmd[@]}" umount -R "$tmp/root/proc" "$tmp/root/sys" "$tmp/root/dev" 2>/dev/null || :
      "${sudo_cmd[@]}" rm -rf --one-file-system "$tmp"' EXIT
"${sudo_cmd[@]}" chmod 755 "$tmp"
root=$tmp/root
mirror=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources)
"${sudo_cmd[@]}" debootstrap --variant=minbase bookworm "$root" "$mirror" >&2
"${sudo_cmd[@]}" bash -euo pipefail -s "$root" "$deb" "$here/init" "${packages[@]}" <<'SETUP' >&2
root=$1 deb=$2 init=$3
shift 3
rm -f "$root"/etc/apt/sources.list
cp /etc/apt/sources.list.d/debian.sources "$root/etc/apt/sources.list.d/"
printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
echo force-unsafe-io > "$root/etc/dpkg/dpkg.cfg.d/unsafe-io" # no fsync: a failed build is redone
chmod +x "$root/usr/sbin/policy-rc.d"
mkdir -p "$root/etc/initramfs-tools/conf.d"
echo MODULES=list > "$root/etc/initramfs-tools/conf.d/modules"
printf '%s\n' virtio_pci virtio_blk ext4 > "$root/etc/initramfs-tools/modules"
install -m 755 "$init" "$root/sbin/nolvex-guest-init"
cp "$deb" "$root/tmp/nolvex.deb"
for fs in proc sys dev; do mount --rbind "/$fs" "$root/$fs"; done
in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@"; }
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "$@" /tmp/nolvex.deb
in_root dpkg -r nolvex-keyboard
in_root apt-get clean
rm -rf "$root"/var/lib/apt/lists/* # apt then knows only what is installed, and starts quicker
umount -R "$root/proc" "$root/sys" "$root/dev"
rm -f "$root/tmp/nolvex.deb"
SETUP
"${sudo_cmd[@]}" cp "$root"/boot/vmlinuz-* "$tmp/vmlinuz"
"${sudo_cmd[@]}" cp "$root"/boot/initrd.img-* "$tmp/initrd.img"
"${sudo_cmd[@]}" truncate -s 3G "$tmp/root.img"
"${sudo_cmd[@]}" mkfs.ext4 -q -F -d "$root" "$tmp/root.img"
"${sudo_cmd[@]}" rm -rf --one-file-system "$root"
if ! "${sudo_cmd[@]}" mv -T "$tmp" "$cache/$key" 2>/dev/null; then
    [ -f "$cache/$key/root.img" ] # another build finished first
fi
# Guests of other keys not used for a week are stale.
"${sudo_cmd[@]}" find "$cache" -mindepth 1 -maxdepth 1 -mtime +7 -exec rm -rf --one-file-system {} +
echo "$cache/$key"
