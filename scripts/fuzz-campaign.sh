#!/usr/bin/env bash
# A long fuzzing campaign: each target of fuzz/ (or each one named) for MINUTES,
# one after the other, starting from its seeds and from what earlier campaigns
# kept in build-sanitize/fuzz-campaign/TARGET/. Uses the build of
# scripts/sanitize.sh. A crash, hang, leak or sanitizer report stops the target
# and is saved in build-sanitize/fuzz-campaign/findings/; make each a
# regression test, and copy inputs worth keeping into fuzz/corpus/TARGET/.
#   scripts/fuzz-campaign.sh [MINUTES] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-15}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(FuzzIniFile FuzzTextSchema FuzzDelimitedFile FuzzFixedWidthFile FuzzNormalizePartNumber)
[[ -f build-sanitize/build.ninja ]] || { echo "Run scripts/sanitize.sh first: it makes build-sanitize/." >&2; exit 2; }
cmake --build build-sanitize --target "${targets[@]}"
work=build-sanitize/fuzz-campaign
mkdir -p "$work/findings"
status=0
for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
    echo "== $target: $minutes min"
    nice build-sanitize/fuzz/"$target" -max_total_time=$((minutes * 60)) -timeout=10 -rss_limit_mb=1024 \
        -print_final_stats=1 -artifact_prefix="$work/findings/$target-" "$work/$target" "fuzz/corpus/$target" \
        >"$work/$target.log" 2>&1 || status=1
    grep -E '^stat::number_of_executed_units|^Done|ERROR|SUMMARY' "$work/$target.log" || true
done
exit $status
