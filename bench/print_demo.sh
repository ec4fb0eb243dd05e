#!/usr/bin/env bash
# `nelvo print` as a whole process, as scripts run it: the median wall time of 21 runs, in
# milliseconds, of `print --demo` and of `print --calendar` over a 200 KB calendar file (the
# shared generator, ../shared/tools/gen_ics.py or NELVO_GEN_ICS, writes it; skipped without).
set -euo pipefail
binary=${1:-build/default/cli/nelvo}
runs=21
export TZ=America/Los_Angeles

# median LABEL BUDGET-MS ARGS...: prints the median wall time of `nelvo ARGS`.
median() {
    local label=$1 budget=$2
    shift 2
    "$binary" "$@" > /dev/null  # warm the page cache
    if command -v hyperfine > /dev/null; then
        hyperfine --runs "$runs" --warmup 3 --style basic -N "$binary $*" 2>/dev/null |
            grep -E "Time|Range"
    fi
    local times=() start end
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$binary" "$@" > /dev/null
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    local middle
    middle=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
    printf '%s: median %d.%03d ms over %d runs (budget %d ms)\n' \
        "$label" $((middle / 1000)) $((middle % 1000)) "$runs" "$budget"
}

median "nelvo print --demo" 12 print --demo --now 2025-03-03T08:00:00-08:00 --days 5

generator=${NELVO_GEN_ICS:-}
for up in ../.. ../../..; do
    [ -n "$generator" ] && break
    [ -e "$(dirname "$0")/$up/shared/tools/gen_ics.py" ] && generator=$(dirname "$0")/$up/shared/tools/gen_ics.py
done
generator=${generator:-../shared/tools/gen_ics.py}
if [ ! -e "$generator" ]; then
    echo "nelvo print --calendar: skipped, no calendar generator at $generator (set NELVO_GEN_ICS)"
    exit 0
fi
calendar=$(mktemp --suffix=.ics)
trap 'rm -f "$calendar"' EXIT
# Three years of a busy calendar with every producer's zones: about 220 KB.
python3 "$generator" --size small --years 3 -o "$calendar"
median "nelvo print --calendar ($(($(stat -c %s "$calendar") / 1024)) KB)" 25 \
    print --calendar "$calendar" --now 2023-03-06T08:00:00-08:00 --days 5
