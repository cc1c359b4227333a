#!/usr/bin/env bash
# Sets the machine up, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"

# The same sources built for Windows and tested under Wine.
bash scripts/test-windows.sh
