#!/usr/bin/env bash
# Installs the Debian packages that building, running or testing the keyboard needs, only those
# that are missing. Usage: install-deps.sh run|test
set -euo pipefail

run_packages=(
    g++ cmake ninja-build pkg-config make
    qt6-base-dev qt6-wayland libx11-dev librtmidi-dev libfluidsynth-dev libjack-jackd2-dev
    libpipewire-0.3-dev libpulse-dev
    timgm6mb-soundfont fonts-comic-neue fonts-dejavu-core
)
test_packages=(
    googletest libgtest-dev clang-format python3
    jackd2 xvfb xauth xdotool openbox x11-utils wmctrl imagemagick xclip
    desktop-file-utils appstream dpkg-dev file procps libxtst-dev valgrind
    dbus pipewire pipewire-bin pipewire-pulse wireplumber pulseaudio-utils
    pulseaudio pipewire-jack weston
    qemu-system-x86 debootstrap e2fsprogs
)

packages=("${run_packages[@]}")
if [ "${1:-run}" = test ]; then
    packages+=("${test_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
