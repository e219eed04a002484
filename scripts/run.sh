#!/usr/bin/env bash
# Builds Vireo and opens the configuration sheet on the simulated node. Arguments are passed
# to vireo (for example --node FILE, or --screenshot DIR where no display is available).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vireo
# The host tool opens a node with the plug-in registered for the node's Program ID, as a
# network tool does: register the module just built.
./build/vireo register ./build/Vireo.so
exec ./build/vireo "$@"
