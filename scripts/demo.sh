#!/usr/bin/env bash
# Installs what the project needs, builds Snapfolio and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake --preset default -DBUILD_TESTING=OFF
cmake --build --preset default --target snapfolio
exec ./build/default/src/snapfolio
