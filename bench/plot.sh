#!/usr/bin/env bash
# Draws the throughput of reading and writing against job size from the JSON results of
# parse_bench (medians of repetitions):
#   bench/plot.sh RESULTS.json OUT.png
set -euo pipefail
results=$1
png=$2
data=$(mktemp)
trap 'rm -f "$data"' EXIT

# One row per job size: commands, then MB/s of Parse on one thread, the plain splitter, toml++,
# Write, and Parse on two threads (wall time, every one).
awk '
  /"name": "BM_[A-Za-z+]+(\/[0-9]+)+\/process_time\/real_time_median"/ {
    match($0, /BM_[A-Za-z+]+(\/[0-9]+)+/); n = split(substr($0, RSTART, RLENGTH), p, "/")
    bench = p[1] (n > 2 ? "/" p[3] : ""); size = p[2]
  }
  /"bytes_per_second":/ && bench != "" {
    v = $2; sub(/,$/, "", v); mbps[bench, size] = v / 1048576; sizes[size] = 1; bench = ""
  }
  END {
    for (s in sizes) {
      printf "%s %s %s %s %s %s\n", s, mbps["BM_Parse/1", s], mbps["BM_PlainReader", s],
             mbps["BM_TomlPlusPlus", s], mbps["BM_Write", s], mbps["BM_Parse/2", s]
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
     "$data" using 1:6 with linespoints lw 2 pt 13 title "Parse on 2 threads", \
     "$data" using 1:2 with linespoints lw 2 pt 9 title "Parse on 1 thread (typed, linked, completed)", \
     "$data" using 1:4 with linespoints lw 2 pt 11 title "toml++ on the TOML form"
GNUPLOT
echo "wrote $png"
