#!/usr/bin/env bash
# Times Velorn's processor, its VST3 and its LV2 beside Debian's LSP plug-ins
# in one process. Installs lsp-plugins-lv2 when it is missing. Not part of CI.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! dpkg-query -W -f='${Status}' lsp-plugins-lv2 2>/dev/null | grep -q "install ok installed"; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq lsp-plugins-lv2
fi

scripts/install-deps.sh
scripts/configure.sh
cmake --build build -j2 --target velorn_peer_comparison Velorn_VST3 Velorn_LV2
artefacts=build/Velorn_artefacts/Release
build/bench/velorn_peer_comparison "$artefacts/VST3/Velorn.vst3" "$artefacts/LV2/Velorn.lv2"
