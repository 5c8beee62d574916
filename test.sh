#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest.
#   ./test.sh              optimised build with debug info (build/)
#   ./test.sh --sanitize   AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/)
# Further arguments go to ctest, e.g. ./test.sh -R Conversions
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHARART_SANITIZE=OFF)
if [[ "${1:-}" == "--sanitize" ]]; then
    shift
    dir=build-sanitize
    options=(-DCMAKE_BUILD_TYPE=Debug -DCHARART_SANITIZE=ON)
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

scripts/setup.sh
cmake -S . -B "$dir" -G Ninja "${options[@]}" -DCHARART_BUILD_APP=ON -DCHARART_BUILD_TESTS=ON -DCHARART_BUILD_BENCH=ON >/dev/null
cmake --build "$dir"
ctest --test-dir "$dir" --output-on-failure --timeout 300 -j "$(nproc)" "$@"
