#!/usr/bin/env bash
# Installs what is missing, builds Vimo Tarokk and starts the client. Arguments are
# passed to the client (a first argument is the user name to log in with at once).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIMO_TESTS=OFF
cmake --build "$build" --parallel 2

exec "$build/src/app/vimo-tarokk" "$@"
