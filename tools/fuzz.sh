#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in a build folder of their
# own and runs them: first every seed of fuzz/corpus/<target>/ once, then
# fuzzing for the given time. New inputs go to the build folder, never into the
# repository; a crash leaves its input in <build>/artifacts/ and fails the run.
# The targets' own standard error is closed (the game's notes about damaged
# files would drown the fuzzer's); libFuzzer and the sanitizers report on.
# Usage: tools/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default 20 s, all)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${LAKEPORT_FUZZ_BUILD_DIR:-$top/build-fuzz}
seconds=${1:-20}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$top"/fuzz/*_fuzz.cpp; do
    name=$(basename "$source" _fuzz.cpp)
    targets+=("$name")
  done
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLAKEPORT_FUZZ=ON \
    -DLAKEPORT_TESTS=OFF -DLAKEPORT_BENCH=OFF -DLAKEPORT_ASSETS=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
mkdir -p "$build/artifacts"
for name in "${targets[@]}"; do
  fuzzer="$build/fuzz/fuzz_$name"
  seeds="$top/fuzz/corpus/$name"
  found="$build/corpus/$name"
  mkdir -p "$found"
  log="$build/$name.log"
  if ! "$fuzzer" -close_fd_mask=2 -runs=0 "$seeds" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$name fails on a seed of $seeds"
    exit 1
  fi
  echo "== $name: $(find "$seeds" -type f | wc -l) seeds pass; fuzzing for $seconds s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -close_fd_mask=2 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" "$found" "$seeds" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$name found a fault; its input is in $build/artifacts/"
    exit 1
  fi
  grep -E "^#[0-9]+[[:space:]]+DONE|^Done|stat::(number_of_executed_units|peak_rss_mb)" "$log"
done
