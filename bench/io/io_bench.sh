#!/usr/bin/env bash
# The whole quiltora process timed beside its floors, measured in the same run:
#   floor  io_bench_tool reading the input file once into memory and writing
#          as many bytes as quiltora wrote, once, in the same format;
#   codec  (PNG, TIFF) the library decoding the input whole and encoding
#          quiltora's output pixels with quiltora's settings.
# Each figure is the best of RUNS tries, the floor and the run taken in turn,
# as the machine may be busy. Peak RSS is the run's (and the floor's) own.
#
#   bench/io/io_bench.sh [--quick] [--runs N]
#
# Test pictures are made in build/bench-io (several GB; removed at the end).
# --quick: 4000 x 3000 only.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
quick=0
runs=3
while [ $# -gt 0 ]; do
  case $1 in
    --quick) quick=1 ;;
    --runs) runs=$2; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

cmake --preset release >/dev/null
cmake --build --preset release --target quiltora io_bench_tool >/dev/null
build=$root/build/release
tool=$build/bench/io_bench_tool
data=$root/build/bench-io
mkdir -p "$data"
trap 'rm -rf "$data"' EXIT

# measure <command...>: the command's wall seconds and peak resident MiB.
measure() { "$tool" measure "$@"; }

# One row per workload: wall seconds and peak resident MiB of the run, of its
# floor and (PNG, TIFF) of the codec floor, and the run's time over each floor's.
header() {
  printf '%-11s %-4s %3s | %7s %8s | %7s %8s %6s | %7s %8s %6s | %7s\n' picture fmt sym "run s" "run MiB" \
    "floor s" "flr MiB" "x flr" "codec s" "cdc MiB" "x cdc" "out MiB"
}
header
better() { awk "BEGIN{exit !($1 < $2)}"; }
run_case() {  # size format symmetry select
  local size=$1 format=$2 symmetry=$3 select=$4
  local in=$data/in_$size.$format out=$data/out.$format floorOut=$data/floor.$format codecOut=$data/codec.$format
  local bestRun=999999 runRss=0 bestFloor=999999 floorRss=0 bestCodec=999999 codecRss=0 t rss
  for ((i = 0; i < runs; i++)); do
    read -r t rss < <(measure "$build/quiltora" "$in" "$out" -q --symmetry "$symmetry" --select "$select")
    [ -s "$out" ] || { echo "quiltora failed on $in" >&2; exit 1; }
    if better "$t" "$bestRun"; then bestRun=$t runRss=$rss; fi
    read -r t rss < <(measure "$tool" floor "$in" "$floorOut" "$(stat -c %s "$out")")
    if better "$t" "$bestFloor"; then bestFloor=$t floorRss=$rss; fi
    if [ "$format" = png ] || [ "$format" = tif ]; then
      read -r t rss < <("$tool" codec "$in" "$out" "$codecOut")
      if better "$t" "$bestCodec"; then bestCodec=$t codecRss=$rss; fi
    fi
  done
  local codec="- - -"
  [ "$bestCodec" = 999999 ] ||
    codec="$bestCodec $codecRss $(awk "BEGIN{printf \"%.2f\", $bestRun / $bestCodec}")"
  read -r codecTime codecMib codecRatio <<<"$codec"
  printf '%-11s %-4s %3s | %7.3f %8.1f | %7.3f %8.1f %6.2f | %7s %8s %6s | %7.1f\n' "$size" "$format" "$symmetry" \
    "$bestRun" "$runRss" "$bestFloor" "$floorRss" "$(awk "BEGIN{print $bestRun / $bestFloor}")" \
    "$codecTime" "$codecMib" "$codecRatio" "$(awk "BEGIN{print $(stat -c %s "$out") / 1048576}")"
  rm -f "$out" "$floorOut" "$codecOut"
}

sizes=("4000x3000 1800,1350,400,300")
[ $quick = 1 ] || sizes+=("8000x8000 3600,3600,800,800")
for entry in "${sizes[@]}"; do
  read -r size select <<<"$entry"
  w=${size%x*}
  h=${size#*x}
  "$tool" picture "$w" "$h" "$data/in_$size.ppm"
  for format in ppm bmp png tif; do
    [ $format = ppm ] || "$tool" picture "$w" "$h" "$data/in_$size.$format"
    for symmetry in 7 8 17; do run_case "$size" $format $symmetry "$select"; done
    [ $format = ppm ] || rm -f "$data/in_$size.$format"
  done
  rm -f "$data/in_$size.ppm"
done

if [ $quick = 0 ]; then
  "$tool" picture 30000 20000 "$data/in_30000x20000.ppm"
  run_case 30000x20000 ppm 8 14488,9488,1024,1024
fi
echo
echo "run: the whole quiltora process; floor: reading the input file once into memory and writing as many"
echo "bytes as the run wrote; codec: the library decoding the input and encoding the run's output pixels."
echo "x flr, x cdc: the run's wall time over the floor's and the codec's, measured beside it; best of $runs."
