#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/), runs every one, prints
# each figure and writes them all to bench/results/summary.json.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PRAMELOR_BENCH_BUILD_DIR:-$top/build-bench}
out="$top/bench/results"
mkdir -p "$out"
PRAMELOR_BUILD_DIR="$build" PRAMELOR_BUILD_TYPE=Release "$top/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
for exe in "$build"/bench/bench_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  name=$(basename "$exe")
  "$exe" --benchmark_format=console --benchmark_out="$out/$name.json" --benchmark_out_format=json
done
for exe in "$build"/bench/measure_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  name=$(basename "$exe")
  "$exe" 20 | tee "$out/$name.txt"
done
python3 - "$out" <<'PY'
import json, pathlib, sys
out = pathlib.Path(sys.argv[1])
summary = {"benchmarks": {}, "measurements": {}}
for f in sorted(out.glob("bench_*.json")):
    for b in json.loads(f.read_text()).get("benchmarks", []):
        summary["benchmarks"][f.stem + "/" + b["name"]] = {
            "real_time": b.get("real_time"), "cpu_time": b.get("cpu_time"), "unit": b.get("time_unit")}
for f in sorted(out.glob("measure_*.txt")):
    summary["measurements"][f.stem] = f.read_text().splitlines()
print()
for k, v in summary["benchmarks"].items():
    print(f"{k:60s} {v['real_time']:12.3f} {v['unit']}")
(out / "summary.json").write_text(json.dumps(summary, indent=2, ensure_ascii=False))
print(f"\n{out / 'summary.json'}")
PY
