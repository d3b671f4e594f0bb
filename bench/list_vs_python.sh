#!/bin/sh
# Times `ondalis --list` on a folder of 10,000 waveforms against the plain
# Python loop of list_folder.py with hyperfine, and prints the min and median
# of each and their ratio. Not run by ctest.
#
#   bench/list_vs_python.sh [BUILD_DIR]   (default: build)
# The folder is made under $ONDALIS_BENCH_DIR (else the system's temporary
# folder) and removed at exit.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
ondalis=$build/bin/ondalis
tdrsynth=$build/bin/tdrsynth
for tool in "$ondalis" "$tdrsynth"; do
    [ -x "$tool" ] || { echo "missing $tool: build it first" >&2; exit 2; }
done
command -v hyperfine >/dev/null || { echo "hyperfine is needed" >&2; exit 2; }

work=$(mktemp -d "${ONDALIS_BENCH_DIR:-${TMPDIR:-/tmp}}/ondalis-list-XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
folder=$work/waves
mkdir "$folder"
# Twelve different recordings, copied under 10,000 names.
i=0
while [ $i -lt 12 ]; do
    "$tdrsynth" write "$work/seed$i.tdr" --scale $i --gain $((i % 16)) --seed $i --open $((i * 7 + 20)) >/dev/null
    i=$((i + 1))
done
n=0
while [ $n -lt 10000 ]; do
    cp "$work/seed$((n % 12)).tdr" "$folder/wave$(printf %05d $n).tdr"
    n=$((n + 1))
done

hyperfine --warmup 3 --runs "${RUNS:-30}" --export-json "$work/times.json" \
    -n ondalis "$ondalis --list $folder" \
    -n python "python3 $here/list_folder.py $folder" >&2
python3 - "$work/times.json" <<'PY'
import json, statistics, sys
runs = {r["command"]: r["times"] for r in json.load(open(sys.argv[1]))["results"]}
o, p = runs["ondalis"], runs["python"]
for name, t in (("ondalis --list", o), ("python loop", p)):
    print(f"{name:15} min {min(t) * 1000:7.1f} ms   median {statistics.median(t) * 1000:7.1f} ms")
print(f"ratio ondalis/python: min {min(o) / min(p):.2f}   median {statistics.median(o) / statistics.median(p):.2f}")
PY
