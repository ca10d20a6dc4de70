#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time:
# LOXA_FUZZ_SECONDS each, 30 by default. Each starts from a scratch copy of
# its committed corpus, so what a run discovers never lands in tests/.
# Fails when any target reports a finding (crash, sanitizer report, failed
# check, leak, hang); the input is kept as build/fuzz/findings/<target>-*, to
# be committed under tests/fuzz/corpus/<target>/ with the fix.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seconds=${LOXA_FUZZ_SECONDS:-30}
targets=(parser memo_chip command_line received_chip)

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz -j "$(nproc)" || exit 1

scratch=build/fuzz/scratch
findings=build/fuzz/findings
rm -rf "$scratch"
mkdir -p "$scratch" "$findings"

status=0
for target in "${targets[@]}"; do
  cp -r "tests/fuzz/corpus/$target" "$scratch/$target"
  log=$scratch/$target.log
  echo "fuzz: $target for ${seconds} s"
  # Any single input slower than 10 s counts as a hang.
  if build/fuzz/bin/loxa_fuzz_"$target" -max_total_time="$seconds" -timeout=10 \
       -artifact_prefix="$findings/$target-" "$scratch/$target" >"$log" 2>&1; then
    grep -E '^Done [0-9]+ runs' "$log" || true
  else
    tail -n 40 "$log"
    echo "fuzz: $target FAILED (input in $findings/, full log $log)"
    status=1
  fi
done
exit $status
