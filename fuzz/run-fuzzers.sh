#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each, one after the other, on its corpus
# under fuzz/corpus/<target>/. A crash, leak, hang (an input taking over TIMEOUT seconds) or
# broken property stops that target, leaves the input as BUILD/artifacts/<target>-*, and makes
# the script exit 1 after the others have run. A summary of executions per target ends the run.
#   fuzz/run-fuzzers.sh BUILD SECONDS [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
shift 2
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    targets=(probe mpa wav ac3_dts video_cache video_quick split chapters dvd_ifo ps_demux ts_demux)
fi
timeout=${FUZZ_TIMEOUT:-10}
mkdir -p "$build/artifacts" "$build/fuzz-logs"

status=0
summary=()
for t in "${targets[@]}"; do
    log="$build/fuzz-logs/$t.log"
    echo "fuzz: $t for ${seconds}s"
    "$build/bin/fuzz_$t" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout="$timeout" \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" \
        >"$log" 2>&1
    rc=$?
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    if [[ $rc -ne 0 ]]; then
        status=1
        summary+=("$t: FAILED (exit $rc, ${execs:-?} executions); see $log")
        grep -m1 -E 'ERROR|property broken|Test unit written' "$log" || true
    else
        summary+=("$t: ${execs:-?} executions in ${seconds}s, ${cov:-cov: ?}, nothing found")
    fi
done
printf '%s\n' "${summary[@]}"
exit $status
