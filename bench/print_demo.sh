#!/usr/bin/env bash
# `nelvo print --demo` as a whole process: the median wall time of 21 runs, in milliseconds.
set -euo pipefail
binary=${1:-build/default/cli/nelvo}
runs=21
export TZ=America/Los_Angeles
args=(print --demo --now 2025-03-03T08:00:00-08:00 --days 5)
"$binary" "${args[@]}" > /dev/null  # warm the page cache
if command -v hyperfine > /dev/null; then
    hyperfine --runs "$runs" --warmup 3 --style basic -N "$binary ${args[*]}" 2>/dev/null |
        grep -E "Time|Range"
fi
times=()
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$binary" "${args[@]}" > /dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
printf 'nelvo print --demo: median %d.%03d ms over %d runs (budget 100 ms)\n' \
    $((median / 1000)) $((median % 1000)) "$runs"
