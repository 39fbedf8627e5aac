#!/usr/bin/env bash
# Boots the guest that build-root.sh made, with PAYLOAD_DIR as its second disk, and prints its
# serial console. PID 1 runs PAYLOAD_DIR/run there; what the guest leaves in /payload/artefacts
# is copied back to PAYLOAD_DIR/artefacts. The root's own disk is a snapshot: the cache stays as
# it was. Software emulation: this machine's KVM refuses Debian's stock kernel.
# Usage: boot.sh GUEST_DIR PAYLOAD_DIR
set -euo pipefail
guest=$1 payload=$2
image=$(mktemp --tmpdir nolvex-payload.XXXXXX.img)
trap 'rm -f "$image"' EXIT
truncate -s 512M "$image"
mkfs.ext4 -q -F -d "$payload" "$image"
qemu-system-x86_64 -accel tcg,thread=multi -cpu max -smp 2 -m 2048 -M q35 -nographic \
    -no-reboot -nic none -kernel "$guest/vmlinuz" -initrd "$guest/initrd.img" \
    -drive "file=$guest/root.img,format=raw,if=virtio,snapshot=on,cache=unsafe" \
    -drive "file=$image,format=raw,if=virtio,cache=unsafe" \
    -append "root=/dev/vda rw console=ttyS0 init=/sbin/nolvex-guest-init quiet" </dev/null
rm -rf "$payload/artefacts"
e2fsck -fy "$image" >/dev/null 2>&1 || : # replays the journal if the guest did not unmount
debugfs -R "rdump /artefacts $payload" "$image" >/dev/null 2>&1 || :
