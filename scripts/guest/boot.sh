#!/usr/bin/env bash
# Boots the Debian guest that build-root.sh makes for PACKAGE.deb (the first time; cached after)
# with PAYLOAD_DIR and the package on its second disk, and prints its serial console once done.
# There PID 1 runs /payload/run; what that leaves in /payload/artefacts is copied to
# OUT_DIR/artefacts, and its exit status is this script's. The root's own disk is a snapshot:
# the cache stays as it was.
# Software emulation: this machine's KVM refuses Debian's stock kernel.
# Usage: boot.sh PACKAGE.deb PAYLOAD_DIR OUT_DIR
set -euo pipefail
deb=$1 payload=$2 out=$3
image=$(mktemp --tmpdir nolvex-payload.XXXXXX.img)
trap 'rm -f "$image" "$image.log" "$image.console"' EXIT
guest=$("$(dirname "$0")/build-root.sh" "$deb" 2>"$image.log") || { cat "$image.log" >&2; exit 1; }
cp "$deb" "$payload/"
truncate -s 512M "$image"
mkfs.ext4 -q -F -d "$payload" "$image"
cat "$guest/root.img" >/dev/null # in large reads into the page cache, not as the guest asks
# panic=-1: a guest that fails to boot restarts, which -no-reboot turns into QEMU's exit.
# The serial console goes to a file: a reader of this script's output that falls behind must not
# hold up the guest.
timeout 1200 qemu-system-x86_64 -accel tcg,thread=multi -cpu max -smp 2 -m 2048 -M q35 \
    -display none -monitor none -serial "file:$image.console" -no-reboot -nic none \
    -kernel "$guest/vmlinuz" -initrd "$guest/initrd.img" \
    -drive "file=$guest/root.img,format=raw,if=virtio,snapshot=on,cache=unsafe" \
    -drive "file=$image,format=raw,if=virtio,cache=unsafe" \
    -append "root=/dev/vda rw console=ttyS0 init=/sbin/nolvex-guest-init quiet panic=-1" </dev/null
cat "$image.console"
e2fsck -fy "$image" >/dev/null 2>&1 || : # replays the journal if the guest did not unmount
rm -rf "$out/artefacts"
mkdir -p "$out"
debugfs -R "rdump /artefacts $out" "$image" >/dev/null 2>&1 || :
status=$(debugfs -R "cat /status" "$image" 2>/dev/null)
exit "${status:-1}"
