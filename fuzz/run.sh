#!/usr/bin/env bash
# Runs the fuzz targets briefly over their seed corpora, as CI does.
# Usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
# BUILD_DIR was configured with clang and -DFEE_BUILD_FUZZERS=ON. Each target
# fuzzes for SECONDS on a scratch copy of fuzz/corpus/TARGET (the committed
# corpus is not changed); a crash, a sanitizer report, a timeout or too much
# memory fails the run, and the input that did it is copied to
# BUILD_DIR/fuzz-artifacts/.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"
seconds="$2"
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=($(cd "$here/corpus" && ls))
fi
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

passed=0
failed=0
for target in "${targets[@]}"; do
  binary="$build/fuzz/$target"
  corpus="$work/$target"
  cp -r "$here/corpus/$target" "$corpus"
  log="$work/$target.log"
  if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$work/$target-" "$corpus" >"$log" 2>&1; then
    passed=$((passed + 1))
    echo "fuzz $target: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs," \
      "$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)"
  else
    failed=$((failed + 1))
    echo "fuzz $target: FAILED"
    tail -n 60 "$log"
    cp "$work/$target-"* "$artifacts/" 2>/dev/null || true
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
