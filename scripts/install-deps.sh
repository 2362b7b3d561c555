#!/usr/bin/env bash
# Installs the Debian packages nevrik needs to build, test and run.
# Idempotent and quiet when nothing is missing; updates the package lists only
# when something must be installed.
set -euo pipefail

packages=(
    cmake ninja-build g++ make pkg-config
    libx11-dev libxext-dev libxtst-dev libgl-dev libglew-dev
    libfreetype-dev libpng-dev libjpeg62-turbo-dev libgif-dev zlib1g-dev libtinyobjloader-dev libtinygltf-dev
    libgtest-dev libbenchmark-dev
    libgl1-mesa-dri xvfb xauth xdotool x11-utils fonts-dejavu-core
    imagemagick
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
else
    sudo=
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
