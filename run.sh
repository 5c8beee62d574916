#!/usr/bin/env bash
# Installs what is missing, builds in Release and opens the window.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCHARART_BUILD_TESTS=OFF -DCHARART_BUILD_BENCH=OFF >/dev/null
cmake --build build-release --target charart

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display to open the window on (DISPLAY is not set)." >&2
    echo "On a machine without one, try: xvfb-run -a ./run.sh" >&2
    exit 1
fi
exec build-release/app/charart "$@"
