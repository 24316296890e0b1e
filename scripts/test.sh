#!/usr/bin/env bash
# Builds the engine and runs the whole test suite.
#   scripts/test.sh             normal build (build/)
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/)
#   scripts/test.sh --tsan      ThreadSanitizer, concurrency tests only (build-tsan/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
kesvo_deps

mode=${1:-}
case "$mode" in
  "") dir=build; flags=(); filter=(); targets=() ;;
  --sanitize) dir=build-asan; flags=(-DKESVO_SANITIZE=ON); filter=(); targets=() ;;
  # The concurrency tests live in the unit-test binary: build only that.
  --tsan) dir=build-tsan; flags=(-DKESVO_TSAN=ON); filter=(-R 'Concurren'); targets=(--target kesvo_unit_tests) ;;
  *) echo "usage: scripts/test.sh [--sanitize|--tsan]" >&2; exit 2 ;;
esac

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1}

cmake -S "$root" -B "$root/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" >/dev/null
cmake --build "$root/$dir" "${targets[@]}"
cd "$root/$dir"
ctest --output-on-failure -j "$(nproc)" "${filter[@]}"
