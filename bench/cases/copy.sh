#!/usr/bin/env bash
# copy_file_to_file and build_overview on a 1 GiB working file against cp of the same file.
set -euo pipefail
json="$KELVARA_BENCH_DIR/copy.json"
"$BIN/copy_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
src="$KELVARA_BENCH_DIR/work-1g.raw"
size=$(stat -c %s "$src")
best=0
for i in 1 2 3; do
  rm -f "$KELVARA_BENCH_DIR/copy-cp.raw"
  t0=$(date +%s%N); cp "$src" "$KELVARA_BENCH_DIR/copy-cp.raw"; t1=$(date +%s%N)
  rate=$(python3 -c "print($size/(($t1-$t0)/1e9)/1e6)")
  best=$(python3 -c "print(max($best,$rate))")
done
rm -f "$KELVARA_BENCH_DIR/copy-cp.raw"
python3 - "$json" "$best" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
cp = float(sys.argv[2])
for b in data["benchmarks"]:
    ours = b["bytes_per_second"] / 1e6
    name = b["name"].split("/")[0].replace("BM_", "")
    rss = b.get("peak_rss_MB", 0)
    if name == "copy_file_to_file":
        print(f"{name:28s} {ours:10.0f}MB/s {cp:10.0f}MB/s {ours/cp:8.2f}   peak RSS {rss:.1f} MB (peer: cp)")
    else:
        print(f"{name:28s} {ours:10.0f}MB/s {'1000':>10s}MB/s {ours/1000:8.2f}   peak RSS {rss:.1f} MB (target: 1 GB/s)")
PY
