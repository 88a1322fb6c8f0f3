#!/usr/bin/env bash
# Installs what is missing, builds Vimo Tarokk and starts the client. Arguments are
# passed to the client (a first argument is the user name to log in with at once).
# When nothing listens on 127.0.0.1:5052 the practice club vimo-club is started there
# (members and deals kept in its default data file) and stopped when the client ends.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

build=build/release
# Configured once; after that ninja itself re-runs CMake when a CMakeLists file changes.
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIMO_TESTS=OFF
fi
# Only the two programs run here, not the benchmarks and the icon tool.
cmake --build "$build" --parallel 2 --target vimo-tarokk vimo-club

listening() { (exec 3<>/dev/tcp/127.0.0.1/5052) 2>/dev/null; }

club_pid=""
stop_club() {
    if [ -n "$club_pid" ]; then
        kill "$club_pid" 2>/dev/null || true
        wait "$club_pid" 2>/dev/null || true
        club_pid=""
    fi
}
trap stop_club EXIT
trap 'stop_club; exit 130' INT TERM

if ! listening; then
    log="$build/vimo-club.log"
    "$build/club/server/vimo-club" >>"$log" 2>&1 &
    club_pid=$!
    for _ in $(seq 50); do
        listening && break
        sleep 0.1
    done
    if listening; then
        echo "run: vimo-club started on 127.0.0.1:5052 (log: $log)"
    else
        echo "run: vimo-club did not start; see $log" >&2
    fi
fi

"$build/src/app/vimo-tarokk" "$@"
