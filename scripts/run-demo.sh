#!/usr/bin/env bash
# Builds Velorn, installs the VST3 and LV2 plug-ins for this user and renders
# the built-in demo through the processor.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/configure.sh
cmake --build build -j2

artefacts=build/Velorn_artefacts/Release
mkdir -p "$HOME/.vst3" "$HOME/.lv2"
rm -rf "$HOME/.vst3/Velorn.vst3" "$HOME/.lv2/Velorn.lv2"
cp -r "$artefacts/VST3/Velorn.vst3" "$HOME/.vst3/"
cp -r "$artefacts/LV2/Velorn.lv2" "$HOME/.lv2/"
echo "Installed $HOME/.vst3/Velorn.vst3 and $HOME/.lv2/Velorn.lv2"

mkdir -p out
build/tools/render/velorn-render --demo out/demo.wav --meters out/demo-meters.csv
