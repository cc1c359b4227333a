#!/usr/bin/env bash
# Sets the machine up, builds the installer and runs it over a demo layout: a demo
# After Effects plug-in folder and a registry file naming it, both under build/demo.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target VistrelInstaller

demo="$PWD/build/demo"
plugins="$demo/Adobe/Adobe After Effects CC 2015/Support Files/Plug-ins"
mkdir -p "$plugins"
cat > "$demo/registry.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Adobe\\After Effects\\13.5]
"PluginInstallPath"="${plugins//\\/\\\\}"
REG

export HF_REGISTRY_FILE="$demo/registry.reg"
if [ -n "${DISPLAY:-}" ]; then
  exec ./build/VistrelInstaller
else
  echo "No DISPLAY: running the installer in a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1024x768x24" ./build/VistrelInstaller
fi
