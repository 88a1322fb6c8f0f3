#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test. A sanitizer finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVIMO_SANITIZE=ON -DVIMO_TESTS=ON
cmake --build "$build" --parallel 2
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel 2 --timeout 600
