#!/usr/bin/env bash
# fft_real forward + inverse against FFTW (measured plan, single precision, r2c + c2r).
set -euo pipefail
json="$KELVARA_BENCH_DIR/fft.json"
"$BIN/fft_bench" --benchmark_format=json --benchmark_out="$json" --benchmark_min_time=0.5 >/dev/null 2>&1
python3 - "$json" <<'PY'
import json, sys
d = {b["name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
for n in (1024, 4096):
    ours = d[f"BM_fft_real/{n}"]["real_time"]
    peer = d[f"BM_fftw/{n}"]["real_time"]
    # Time per forward+inverse pair; the ratio is peer/ours so higher is better here too.
    print(f"{'fft_real N=' + str(n):28s} {ours/1000:10.2f}us   {peer/1000:10.2f}us {peer/ours:8.2f}   (time; peer: FFTW)")
PY
