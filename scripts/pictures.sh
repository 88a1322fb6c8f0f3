#!/usr/bin/env bash
# Redraws the pictures in docs/screenshots. Each picture tool runs the real windows in its
# own X server (xvfb-run) and takes the pixels the X server holds, so a picture shows what a
# user sees, a missed repaint included.
#   scripts/pictures.sh [build folder]   (default: build/test, the test command's build)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

build=${1:-build/test}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVIMO_TESTS=ON
fi
cmake --build "$build" --parallel 2 --target vimo-club shot_cards shot_play shot_history shot_match bidding_screens

out=docs/screenshots
run() {
    # No window manager: windows lie where the program puts them, captions are drawn by the tools.
    QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 \
        xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" "$@"
}
run "$build/tests/cards/shot_cards" "$out"
run "$build/tests/bidding/bidding_screens" "$out"
run "$build/tests/e2e/shot_play" "$build/club/server/vimo-club" "$out"
run "$build/tests/e2e/shot_history" "$build/club/server/vimo-club" "$out"
run "$build/tests/history/shot_match" "$out"
echo "pictures: written to $out"
