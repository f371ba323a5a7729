#!/usr/bin/env bash
# The editor under Xvfb at real sizes (called by bench/run): start-up to the
# first frame that looks like the settled window (fresh and seeded home) and
# idle memory next to an empty Qt window, and a 1,000,000 x 8 SQLite result in
# the grid and as text: F5 to the first rows painted, last row, characters
# typed during the run to their glyphs painted, memory during and after. Every
# figure is set against a baseline measured in this run, interleaved: median
# of RUNS runs each, with the minimum and maximum.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x900x24" bash "$0" "$@"
fi
runs=${RUNS:-5}
db=$OUT/big.db
cs="Provider=SQLite;Data Source=$db"
home=$(mktemp -d)
fresh=$(mktemp -d)
trap 'rm -rf "$home" "$fresh"' EXIT
"$BUILD/bench/bench_window_wait" "SQL Query Editor" "$BUILD/bin/sqlqe" --home "$home" >/dev/null 2>&1 # seeds the home

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
value() { awk -v k="$1" '$1 == k { print $2 }'; }
line() { # label ours ours_unit baseline_label baseline [note]
  awk -v l="$1" -v o="$2" -v u="$3" -v bl="$4" -v b="$5" -v n="${6:-}" \
    'BEGIN { printf "%-44s %10.1f %-3s vs %-30s %10.1f %-3s ratio %.2fx  %s\n", l, o, u, bl, b, u, (b > 0 ? o / b : 0), n }'
}
spread() { # "min-max" of the runs of a figure
  tr ' ' '\n' <<<"${m[$1]}" | grep -v '^$' | sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%g-%g", lo, hi }'
}
# like line, with the runs' spread of both sides: label key unit baseline_label baseline_key [note]
ranged() {
  awk -v l="$1" -v o="$(med "$2")" -v os="$(spread "$2")" -v u="$3" -v bl="$4" -v b="$(med "$5")" -v bs="$(spread "$5")" \
    -v n="${6:-}" 'BEGIN { printf "%-36s %7.1f %-2s (%s) vs %-22s %7.1f %-2s (%s)  ratio %.2fx  %s\n",
                           l, o, u, os, bl, b, u, bs, (b > 0 ? o / b : 0), n }'
}

declare -A m
add() { m[$1]+="$2 "; }
for ((i = 0; i < runs; i++)); do
  rm -rf "$fresh"; mkdir -p "$fresh"
  out=$("$BUILD/bench/bench_window_wait" "SQL Query Editor" "$BUILD/bin/sqlqe" --home "$fresh" 2>/dev/null)
  add fresh_start "$(value start_ms <<<"$out")"
  out=$("$BUILD/bench/bench_window_wait" "Bare Qt Window" "$BUILD/bench/bench_bare_window" 2>/dev/null)
  add bare_start "$(value start_ms <<<"$out")"; add bare_idle "$(value idle_rss_mb <<<"$out")"
  add bare_map "$(value map_ms <<<"$out")"
  out=$("$BUILD/bench/bench_window_wait" "Plain Qt Editor Window" "$BUILD/bench/bench_plain_editor_window" 2>/dev/null)
  add plain_start "$(value start_ms <<<"$out")"; add plain_idle "$(value idle_rss_mb <<<"$out")"
  out=$("$BUILD/bench/bench_window_wait" "SQL Query Editor" "$BUILD/bin/sqlqe" --home "$home" 2>/dev/null)
  add start "$(value start_ms <<<"$out")"; add idle "$(value idle_rss_mb <<<"$out")"; add map "$(value map_ms <<<"$out")"
  for mode in grid text; do
    out=$("$BUILD/bench/bench_gui_run" "$cs" "SELECT * FROM t" "$mode" 2>/dev/null)
    for k in first_rows_ms last_row_ms key_max_ms key_p95_ms idle_key_max_ms rss_idle_mb rss_peak_mb rss_cleared_mb rss_closed_mb; do
      add "$mode.$k" "$(value "$k" <<<"$out")"
    done
  done
  s=$(now); sqlite3 "$db" "SELECT * FROM t" >/dev/null; e=$(now); add cli "$(((e - s) / 1000000))"
  s=$(now); { sqlite3 "$db" "SELECT * FROM t" | head -n 1 >/dev/null; } || true; e=$(now) # sqlite3 ends on the closed pipe
  add cli_first "$(((e - s) / 1000000))"
  s=$(now); echo "SELECT * FROM t" | "$BUILD/bin/sqlqe-run" --home "$home" --text --connect "$cs" - >/dev/null 2>&1; e=$(now)
  add runner_text "$(((e - s) / 1000000))"
done
med() { tr ' ' '\n' <<<"${m[$1]}" | grep -v '^$' | median; }
raw=$(sqlite3 "$db" "SELECT sum(length(a) + length(b) + length(c) + length(x) + length(y) + length(z) + length(s1) + length(s2)) FROM t")
raw_mb=$(awk -v b="$raw" 'BEGIN { printf "%.1f", b / 1048576 }')

echo "== the editor under Xvfb, median (min-max) of $runs interleaved runs =="
ranged "start to final frame, seeded home" start ms "an empty Qt window" bare_start "(target <= 1.3x)"
ranged "start to final frame, fresh home" fresh_start ms "an empty Qt window" bare_start "(target <= 1.3x)"
ranged "start to window mapped, seeded home" map ms "an empty Qt window" bare_map
ranged "idle memory (RSS)" idle MB "an empty Qt window" bare_idle "(target <= 35 MB)"
# The same two figures against the plainest Qt editor window (menus, toolbar, a
# text editor, a status bar): what any editor on Qt Widgets pays before its own work.
ranged "start to final frame, seeded home" start ms "a plain Qt editor window" plain_start
ranged "idle memory (RSS)" idle MB "a plain Qt editor window" plain_idle
echo "== 1,000,000 x 8 rows from SQLite, medians of $runs runs =="
line "grid: first rows on screen" "$(med grid.first_rows_ms)" ms "sqlite3 CLI: first row out" "$(med cli_first)" "(target <= 150 ms)"
line "grid: last row in" "$(med grid.last_row_ms)" ms "sqlite3 CLI: all rows" "$(med cli)" "(target <= 1.5x)"
line "text: first rows on screen" "$(med text.first_rows_ms)" ms "sqlite3 CLI: first row out" "$(med cli_first)"
line "text: last row in" "$(med text.last_row_ms)" ms "grid: last row in" "$(med grid.last_row_ms)" "(target <= 1.5x)"
line "text: last row in" "$(med text.last_row_ms)" ms "sqlqe-run --text: all rows" "$(med runner_text)"
line "grid: slowest key during the run" "$(med grid.key_max_ms)" ms "slowest key while idle" "$(med grid.idle_key_max_ms)" "(target <= 100 ms)"
line "text: slowest key during the run" "$(med text.key_max_ms)" ms "slowest key while idle" "$(med text.idle_key_max_ms)" "(target <= 100 ms)"
grid_growth=$(awk -v p="$(med grid.rss_peak_mb)" -v i="$(med grid.rss_idle_mb)" 'BEGIN { print p - i }')
text_growth=$(awk -v p="$(med text.rss_peak_mb)" -v i="$(med text.rss_idle_mb)" 'BEGIN { print p - i }')
line "grid: memory added at the peak" "$grid_growth" MB "raw text of the cells" "$raw_mb" "(peak RSS $(med grid.rss_peak_mb) MB)"
line "text: memory added at the peak" "$text_growth" MB "raw text of the cells" "$raw_mb" "(target <= 2x; peak RSS $(med text.rss_peak_mb) MB)"
for mode in grid text; do
  line "$mode: RSS after the results are cleared" "$(med "$mode.rss_cleared_mb")" MB "RSS idle before the run" "$(med "$mode.rss_idle_mb")" "(target <= idle + 20 MB)"
  line "$mode: RSS after the document is closed" "$(med "$mode.rss_closed_mb")" MB "RSS idle before the run" "$(med "$mode.rss_idle_mb")"
done
