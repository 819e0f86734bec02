#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need,
# only those that are missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    juce-modules-source lv2-dev lilv-utils
    libasound2-dev libfreetype-dev libx11-dev libxext-dev libxrandr-dev libxinerama-dev libxcursor-dev
    libxcomposite-dev libgl-dev libpng-dev libjpeg-dev libcurl4-gnutls-dev libgtk-3-dev libwebkit2gtk-4.0-dev
    libgtest-dev libbenchmark-dev
    clang libclang-rt-dev
    xvfb xauth
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
