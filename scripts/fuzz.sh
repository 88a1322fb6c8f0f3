#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer),
# runs each for the given number of seconds, merges what found new coverage into fuzz/corpus,
# and prints a table: executions, executions per second and findings per target.
#
#   scripts/fuzz.sh [seconds] [-j jobs] [target ...]
#
# seconds   how long each target runs (default 60)
# -j jobs   targets run at once (default 2, one per core; give 1 while the machine is busy)
# target    only these (framer helpers history match personal settings dispatch game club)
#
# A finding (crash, leak, timeout, out of memory) is kept in build/fuzz/findings/<target>/;
# it becomes a row in that reader's table test, with the mend, and its input goes into the
# corpus so that ctest replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=60
jobs=2
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        -j) jobs=$2; shift 2 ;;
        -j*) jobs=${1#-j}; shift ;;
        [0-9]*) seconds=$1; shift ;;
        *) targets+=("$1"); shift ;;
    esac
done
# Side by side, a target that drives windows or a club runs beside one that only reads text:
# two of the first kind share the cache and memory bus and both slow down.
all=(dispatch framer game helpers club history settings match personal)
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

build=build/fuzz
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVIMO_FUZZ=ON -DVIMO_TESTS=OFF >/dev/null
fi
# The same lock as every other build on this machine: two compilers at once would starve both.
flock /tmp/vimo-build.lock cmake --build "$build" --parallel 2 \
    --target $(printf 'fuzz_%s ' "${targets[@]}")

# A folder of this run's own: a second run for other targets may go on beside it.
work=$build/runs/$(date +%Y%m%d-%H%M%S)-$$
findings=$build/findings
mkdir -p "$work" "$findings"

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$root/tests/ubsan.supp"
# Two frames of allocation stack: Qt is built without frame pointers, and deeper stacks
# through it are noise that only fills the sanitizer's stack store and slows every
# allocation. A finding is replayed through its ctest driver for the whole story.
# A quarantine of 4 MB rather than 256: freed memory stays poisoned for the next 4 MB of frees,
# which in the client's target is the frees of some ninety inputs (46 KB an input, measured),
# so a use after free within an input, or reaching back a few dozen, is still caught. Handed
# out again soon, a block is still in the cache: every allocation of the window targets missed
# it twice before. docs/fuzzing.md has the figures.
export ASAN_OPTIONS="detect_leaks=1:malloc_context_size=2:quarantine_size_mb=4"

run() {
    local t=$1
    local corpus=$work/$t/corpus
    mkdir -p "$corpus" "$findings/$t"
    cp -r fuzz/corpus/"$t"/. "$corpus"/
    # The schedule's settings. libFuzzer 14 counts a feature seen fewer than 255 times as rare
    # and searches that list for every feature of every run; in the targets that drive windows
    # or a club (tens of thousands of features) the search took a third of the time or more.
    # A threshold of 16 keeps the schedule and bounds the list. Scaling by execution time
    # gives an input that reaches the same features more cheaply more of the turns.
    # docs/fuzzing.md has the measures, coverage included.
    local flags=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                 -entropic_feature_frequency_threshold=16 -entropic_number_of_rarest_features=16
                 -entropic_scale_per_exec_time=1
                 -artifact_prefix="$findings/$t/")
    case "$t" in
        dispatch|settings|club)
            # These keep the whole client or club between inputs, and its caches only grow:
            # a leak check after every such input would take most of the time. Leaks are
            # checked when the corpus is replayed under ctest, at the end of the process.
            flags+=(-detect_leaks=0) ;;
    esac
    case "$t" in
        settings|club|dispatch)
            # Inputs of at most 1 KiB. A settings file this client writes is about half that,
            # and a kilobyte holds dozens of member or server lines.
            # Measured side by side, the cap reached the same edges as the default of 4 KiB and
            # ran 26-42% more inputs. What it gives up is features counting loops of more than a
            # hundred-odd lines (3-5% of the features). The line length limit (16 KiB) and a file
            # too large to read whole (1 MiB) are out of reach at either size: the hostile-line
            # and settings table tests cover them. docs/fuzzing.md has the figures.
            flags+=(-max_len=1024) ;;
    esac
    nice "$build/fuzz/fuzz_$t" "${flags[@]}" "$corpus" >"$work/$t/log" 2>&1 || true
    # The kept corpus is minimised anew: the fewest inputs that reach everything the old
    # corpus and this run reached. Seeds with names of their own are kept as they are; the
    # inputs the fuzzer found are named by their SHA-1.
    local min=$work/$t/min
    mkdir -p "$min"
    if nice "$build/fuzz/fuzz_$t" -merge=1 -timeout=10 "$min" fuzz/corpus/"$t" "$corpus" \
            >"$work/$t/merge.log" 2>&1; then
        find fuzz/corpus/"$t" -type f -regextype posix-extended -regex '.*/[0-9a-f]{40}' -delete
        # The merge names its inputs by their SHA-1; one that a named seed already holds, or
        # an empty one, is not kept twice.
        local seeds
        seeds=$(find fuzz/corpus/"$t" -type f -size +0 -exec sha1sum {} + | cut -d' ' -f1)
        for f in "$min"/*; do
            [ -s "$f" ] || continue
            grep -qx "$(basename "$f")" <<<"$seeds" || cp "$f" fuzz/corpus/"$t"/
        done
    fi
}

running=0
for t in "${targets[@]}"; do
    run "$t" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

stat() { grep -m1 "^stat::$2:" "$work/$1/log" | awk '{print $2}'; }
echo
echo "Date: $(date -u +%Y-%m-%d), machine: $(uname -m), $(nproc) cores," \
     "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $seconds s a target, $jobs at once"
echo
# Coverage beside the speed: edges (cov) and features (ft) the run reached at its end.
reached() { grep -E '^#[0-9]+[[:space:]]+DONE' "$work/$1/log" | tail -1 | sed -E "s/.* $2: ([0-9]+).*/\1/"; }
echo "| target | executions | executions/s | edges | features | findings | corpus files |"
echo "|---|---:|---:|---:|---:|---:|---:|"
total=0
for t in "${targets[@]}"; do
    n=$(find "$findings/$t" -type f | wc -l)
    total=$((total + n))
    echo "| $t | $(stat "$t" number_of_executed_units) | $(stat "$t" average_exec_per_sec) |" \
         "$(reached "$t" cov) | $(reached "$t" ft) | $n | $(find fuzz/corpus/"$t" -type f | wc -l) |"
done
if [ "$total" -gt 0 ]; then
    echo
    echo "Findings are in $findings; the logs in $work."
    exit 1
fi
