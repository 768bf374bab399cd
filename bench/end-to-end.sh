#!/bin/bash
# Whole-process speed of one batch analysis of a large gel: renders
# bench/large-gel.txt (16-bit, 4000 x 3000, 24 lanes of 15 bands) with
# gelsynth, then times `densora-cli analyze ... --json` five times with
# /usr/bin/time -v and prints the median wall time, processor time and peak
# memory, with the load average at the end (time it when the load is low).
#   bench/end-to-end.sh [BUILD_DIR]        (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
work=$build/bench
mkdir -p "$work"
gel=$work/large-gel.tif
if [ ! -f "$gel" ] || [ "$here/large-gel.txt" -nt "$gel" ]; then
    "$build/bin/gelsynth" "$here/large-gel.txt" "$gel" "$work/large-gel-truth.tsv"
fi
walls=()
cpus=()
peaks=()
for run in 1 2 3 4 5; do
    /usr/bin/time -v -o "$work/time-$run.txt" "$build/bin/densora-cli" analyze "$gel" --dark \
        --area 10,10,3980,2980 --example-band 80,130,110,40 --threshold 0.03 --json \
        > "$work/large-gel.json"
    # "Elapsed (wall clock) time (h:mm:ss or m:ss): 0:01.23"
    wall=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$work/time-$run.txt" \
        | awk -F: '{ s = 0; for (i = 1; i <= NF; ++i) s = s * 60 + $i; printf "%.2f", s }')
    peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time-$run.txt")
    # Processor time (user + system) says how much work was done whatever
    # else the machine is running; wall time says what the user waits.
    cpu=$(sed -n 's/.*\(User\|System\) time (seconds): //p' "$work/time-$run.txt" \
        | awk '{ s += $1 } END { printf "%.2f", s }')
    walls+=("$wall")
    cpus+=("$cpu")
    peaks+=("$peak")
    echo "run $run: $wall s wall, $cpu s processor, $((peak / 1024)) MiB peak"
done
median() { printf '%s\n' "$@" | sort -g | sed -n 3p; }
echo "median: $(median "${walls[@]}") s wall, $(median "${cpus[@]}") s processor," \
    "$(( $(median "${peaks[@]}") / 1024 )) MiB peak, load $(cut -d' ' -f1 /proc/loadavg)" \
    "($(python3 -c "import json,sys; d=json.load(open(sys.argv[1])); print(len(d['lanes']), 'lanes,', sum(len(l['bands']) for l in d['lanes']), 'bands')" "$work/large-gel.json" 2>/dev/null || echo '?'))"
