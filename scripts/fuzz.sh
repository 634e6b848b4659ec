#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time.
#
# Usage: scripts/fuzz.sh [SECONDS_EACH]   (default 60)
# The build goes to build-fuzz/ (or $REMBRIX_FUZZ_BUILD_DIR); the corpus that
# each target grows is kept there for the next run. Exit code 0 when no target
# found a fault, 77 when clang++ is missing, otherwise the fuzzer's code.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${REMBRIX_FUZZ_BUILD_DIR:-$root/build-fuzz}

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is not installed; nothing fuzzed" >&2
  exit 77
fi

CXX=clang++ cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 >/dev/null

# Seeds: the decoder's known streams (4 bytes of size and stop choice, then
# the stream) and a small trailer of two entries.
seeds="$build/seeds"
mkdir -p "$seeds/unpack_stream_fuzzer" "$seeds/trailer_fuzzer"
printf '\x03\x00\x00\x00\xF6\xFB\xBD\xE0' > "$seeds/unpack_stream_fuzzer/abc"
printf '\x06\x00\x00\x00\xF6\xFB\xA3\x40\x20' > "$seeds/unpack_stream_fuzzer/ababab"
printf '\x03\x00\x00\x00\x8C\x00\x00' > "$seeds/unpack_stream_fuzzer/spaces"
printf '\x10\x00\x00\x01' > "$seeds/unpack_stream_fuzzer/zero-bits-stopped"
{
  printf 'MZ\x90\x00'
  printf '\x0CUninstal.exe\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x71\x02\x00\x00\xBC\x02\x00'
  printf '\x0BFile_id.diz\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xBC\x2E\x07\x00\xBC\x01\x00\x00'
  printf '\x02\x78\x30\x07\x00'
} > "$seeds/trailer_fuzzer/two-entries"

mkdir -p "$build/artifacts"
for target in unpack_stream_fuzzer trailer_fuzzer; do
  corpus="$build/corpus/$target"
  log="$build/$target.log"
  mkdir -p "$corpus"
  echo "== $target for $seconds s"
  set +e
  "$build/$target" -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 \
    "$corpus" "$seeds/$target" >"$log" 2>&1
  status=$?
  set -e
  grep -E "^stat::(number_of_executed_units|peak_rss_mb)|ERROR|SUMMARY|Test unit written" "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "fuzz.sh: $target found a fault (exit $status); see $log and $build/artifacts/" >&2
    exit "$status"
  fi
done
