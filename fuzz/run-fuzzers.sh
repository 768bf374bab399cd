#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds, one after the other
# on one core, from its committed seeds in fuzz/corpus/<target> plus what
# earlier runs found (kept in the build folder, never in the repository).
# Findings are written to fuzz/crashes/<target>/; the summary line of each
# target gives its executions and findings. Exit status 1 when any target
# found something.
#
#   fuzz/run-fuzzers.sh <fuzz build folder> <seconds> [target ...]
set -uo pipefail

build=${1:?usage: run-fuzzers.sh <build folder> <seconds> [target ...]}
seconds=${2:?usage: run-fuzzers.sh <build folder> <seconds> [target ...]}
shift 2
here="$(cd "$(dirname "$0")" && pwd)"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(dsr-document ovl-template ladder-library picture clipboard cli-options)
fi

status=0
summary=()
for t in "${targets[@]}"; do
    program="$build/bin/fuzz-$t"
    [ -x "$program" ] || { echo "no fuzz target $program" >&2; exit 2; }
    found="$build/fuzz-corpus/$t"
    crashes="$here/crashes/$t"
    mkdir -p "$found" "$crashes"
    log="$build/fuzz-$t.log"
    echo "== fuzz-$t for ${seconds}s (log: $log)"
    # 2.5 GB: a picture may need 1 GB; more than that is a finding.
    "$program" "$found" "$here/corpus/$t" -max_total_time="$seconds" \
        -rss_limit_mb=2560 -timeout=20 -print_final_stats=1 \
        -artifact_prefix="$crashes/" >"$log" 2>&1
    rc=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    artifacts=$(grep -c 'Test unit written to' "$log")
    [ $rc -ne 0 ] && status=1
    summary+=("fuzz-$t: ${runs:-?} executions, $artifacts findings (exit $rc)")
    grep -A3 'ERROR: \|SUMMARY: ' "$log" | head -20
done
echo
printf '%s\n' "${summary[@]}"
exit $status
