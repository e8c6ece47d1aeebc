#!/usr/bin/env bash
# Draws the throughput of reading and writing against job size from the JSON results of
# parse_bench (medians of repetitions):
#   bench/plot.sh RESULTS.json OUT.png
set -euo pipefail
results=$1
png=$2
data=$(mktemp)
trap 'rm -f "$data"' EXIT

# One row per job size: commands, then MB/s of Parse, the plain splitter, toml++ and Write.
awk '
  /"name": "BM_[A-Za-z+]+\/[0-9]+_median"/ {
    match($0, /BM_[A-Za-z+]+\/[0-9]+/); split(substr($0, RSTART, RLENGTH), p, "/")
    bench = p[1]; size = p[2]
  }
  /"bytes_per_second":/ && bench != "" {
    v = $2; sub(/,$/, "", v); mbps[bench, size] = v / 1048576; sizes[size] = 1; bench = ""
  }
  END {
    for (s in sizes) {
      printf "%s %s %s %s %s\n", s, mbps["BM_Parse", s], mbps["BM_PlainReader", s],
             mbps["BM_TomlPlusPlus", s], mbps["BM_Write", s]
    }
  }' "$results" | sort -n > "$data"

gnuplot <<GNUPLOT
set terminal pngcairo size 800,560 font ",11" noenhanced
set output "$png"
set title "Throughput against job size (same content; higher is better)"
set xlabel "commands in the job"
set ylabel "MB/s of parameter-file text"
set logscale x
set xtics ("10k" 10000, "100k" 100000, "1M" 1000000)
set xrange [6000:1600000]
set yrange [0:*]
set grid ytics
set key below
plot "$data" using 1:5 with linespoints lw 2 pt 7 title "Write", \
     "$data" using 1:3 with linespoints lw 2 pt 5 title "plain line splitter (nothing typed)", \
     "$data" using 1:2 with linespoints lw 2 pt 9 title "Parse (typed, linked, completed)", \
     "$data" using 1:4 with linespoints lw 2 pt 11 title "toml++ on the TOML form"
GNUPLOT
echo "wrote $png"
