#!/usr/bin/env bash
# Runs every fuzzing harness for SECONDS each, starting from its corpus in
# fuzz/corpus/<harness>/. What the fuzzer finds goes to a temporary working
# corpus, so the committed corpus never grows. Exits non-zero when any
# harness fails (a crash, a sanitizer report, a leak, a timeout, a property
# that does not hold) or is not built; the inputs that failed are kept in
# the artifacts folder.
#
# Usage: fuzz/run-all.sh SECONDS [BUILD_DIR]
#   BUILD_DIR   the fuzzing build (default: build-fuzz beside fuzz/)
#   KESTRANE_FUZZ_ARTIFACTS   where failing inputs and logs go
#                             (default: BUILD_DIR/fuzz-artifacts)
set -uo pipefail

if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [BUILD_DIR]" >&2
  exit 2
fi
seconds=$1
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${2:-$here/../build-fuzz}" 2>/dev/null && pwd) || { echo "no build folder: ${2:-$here/../build-fuzz}" >&2; exit 2; }
artifacts=${KESTRANE_FUZZ_ARTIFACTS:-$build/fuzz-artifacts}
harnesses=(hive regfile cookies trashinfo ini vdf peversion winpath)

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrane-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts"

failed=()
for h in "${harnesses[@]}"; do
  exe="$build/fuzz/kestrane_fuzz_$h"
  if [ ! -x "$exe" ]; then
    echo "== $h: not built ($exe)"
    failed+=("$h")
    continue
  fi
  mkdir -p "$work/$h" "$artifacts/$h"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$artifacts/$h/")
  [ -f "$here/dict/$h.dict" ] && args+=(-dict="$here/dict/$h.dict")
  log="$artifacts/$h/log.txt"
  # Every input that once failed runs again first.
  if compgen -G "$here/regressions/$h/*" >/dev/null; then
    if ! "$exe" "$here/regressions/$h/"* >"$artifacts/$h/regressions.txt" 2>&1; then
      echo "== $h: a saved regression input fails again; log: $artifacts/$h/regressions.txt"
      grep -E 'ERROR: |==== property failed|SUMMARY: ' "$artifacts/$h/regressions.txt" | head -20 | sed 's/^/   /'
      failed+=("$h")
      continue
    fi
    echo "== $h: $(ls "$here/regressions/$h" | wc -l) saved regression inputs pass"
  fi
  echo "== $h: ${seconds}s"
  # The first folder takes the new inputs; the committed corpus is only read.
  "$exe" "${args[@]}" "$work/$h" "$here/corpus/$h" >"$log" 2>&1
  rc=$?
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" | sed 's/^/   /'
  if [ "$rc" -ne 0 ]; then
    echo "== $h FAILED (exit $rc); log: $log"
    grep -E 'ERROR: |==== property failed|SUMMARY: |Test unit written to' "$log" | head -20 | sed 's/^/   /'
    failed+=("$h")
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "failed: ${failed[*]}"
  exit 1
fi
echo "all ${#harnesses[@]} harnesses ran ${seconds}s each without a failure"
