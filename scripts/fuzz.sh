#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, with the address and undefined-behaviour
# sanitizers) and runs each for SECONDS (default 60), as many at a time as there are cores,
# starting from its seed corpus fuzz/corpus/<target>. What a run adds to the corpus goes to
# build-fuzz/fuzz-runs/<target>/corpus, never into the repository ($VIREO_FUZZ_BUILD names
# another build folder). Fails when a target crashes or breaks one of its checks, and names the
# input it kept.
#
#   bash scripts/fuzz.sh [SECONDS]
#   build-fuzz/fuzz/DownloadFuzz FILE        replays one input
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${VIREO_FUZZ_BUILD:-build-fuzz}
runs=$build/fuzz-runs
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

echo "== fuzz build"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVIREO_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --target vireo_fuzz -j "$(nproc)"

# The targets' own scratch files (the node state is saved with a sync): in memory when possible.
scratch=$(mktemp -d -p "$([ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Runs one target; its log and any input that broke it stay in $runs/<target>.
run() {
  local target=$1 dir=$runs/$1
  rm -rf "$dir"
  mkdir -p "$dir/corpus"
  if TMPDIR="$scratch" "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
    -artifact_prefix="$dir/" "$dir/corpus" "fuzz/corpus/$target" >"$dir/log" 2>&1; then
    echo "$target: $(grep -Eo 'Done [0-9]+ runs' "$dir/log" || echo done)"
    return 0
  fi
  {
    echo "FAILED $target: see $dir/log; the input is kept in:"
    find "$dir" -maxdepth 1 -type f -regex '.*/\(crash\|leak\|timeout\|oom\)-.*' | sed 's/^/  /'
    grep -E 'broken:|ERROR|SUMMARY|#[0-9]+ .* in (settings|host|history|codecs|node|platform|nv|lon)::' \
      "$dir/log" | head -20 || true
  } >&2
  return 1
}

echo "== fuzzing, ${seconds} s a target"
failed=0
running=0
for source in fuzz/*.cpp; do
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run "$(basename "$source" .cpp)" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
