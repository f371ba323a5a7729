#!/usr/bin/env bash
# Exports of 1,000,000 rows x 8 columns (called by bench/run):
#  - sqlqe-run --format F for every text format, against `sqlite3 -csv` on the
#    SQLite file and `psql --csv` on PostgreSQL, fetching the same rows in the
#    same round (median of RUNS interleaved rounds), with the peak memory of
#    the runner's CSV next to the client's;
#  - the editor's "Save as" of a grid holding the rows (bench_export), every
#    format including XLSX, against the same sqlite3 -csv time, and the memory
#    a save adds on top of the grid (a buffer, never a second copy of the rows).
set -euo pipefail
runs=${RUNS:-5}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
sqlite_cs="Provider=SQLite;Data Source=$OUT/big.db"
formats=(csv tsv json jsonl sql-insert markdown html)

ms() { local s e; s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N); echo $(((e - s) / 1000000)); }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ours() { echo "$3" | "$BUILD/bin/sqlqe-run" --home "$home" --format "$1" --connect "$2" -; }
peak_kb() { /usr/bin/time -f "%M" -o "$home/peak" "$@" >/dev/null 2>&1; cat "$home/peak"; }
line() { # label ours_ms cli_label cli_ms
  awk -v l="$1" -v o="$2" -v cl="$3" -v c="$4" \
    'BEGIN { printf "%-44s %8.3f s  vs %-14s %8.3f s   ratio %.2fx (target <= 1.2x)\n", l, o / 1000, cl, c / 1000, o / c }'
}

# compare LABEL CONNECTION QUERY CLI-LABEL CLI-COMMAND...: every format against one client, interleaved
compare() {
  local label=$1 cs=$2 query=$3 cli_label=$4 f i
  shift 4
  declare -A times=()
  local cli=()
  for ((i = 0; i < runs; i++)); do
    cli+=("$(ms "$@")")
    for f in "${formats[@]}"; do times[$f]+="$(ms ours "$f" "$cs" "$query") "; done
  done
  local base; base=$(printf '%s\n' "${cli[@]}" | median)
  for f in "${formats[@]}"; do
    line "sqlqe-run --format $f, $label" "$(tr ' ' '\n' <<<"${times[$f]}" | grep . | median)" "$cli_label" "$base"
  done
  echo "$base" >"$home/base-$label"
}

echo "== exports of 1,000,000 rows x 8 columns, median of $runs interleaved rounds =="
compare SQLite "$sqlite_cs" "SELECT * FROM t" "sqlite3 -csv" sqlite3 -csv "$OUT/big.db" "SELECT * FROM t"
awk -v o="$(peak_kb "$BUILD/bin/sqlqe-run" --home "$home" --format csv --connect "$sqlite_cs" - <<<"SELECT * FROM t")" \
    -v c="$(peak_kb sqlite3 -csv "$OUT/big.db" "SELECT * FROM t")" \
  'BEGIN { printf "%-44s %8.1f MB vs %-14s %8.1f MB\n", "peak memory, --format csv, SQLite", o / 1024, "sqlite3 -csv", c / 1024 }'
if [ -n "${SQLQE_TEST_PG:-}" ] && [ -n "${SQLQE_TEST_PG_PSQL:-}" ]; then
  compare PostgreSQL "$SQLQE_TEST_PG" "SELECT * FROM bench_t" "psql --csv" psql "$SQLQE_TEST_PG_PSQL" --csv -c "SELECT * FROM bench_t"
  awk -v o="$(peak_kb "$BUILD/bin/sqlqe-run" --home "$home" --format csv --connect "$SQLQE_TEST_PG" - <<<"SELECT * FROM bench_t")" \
      -v c="$(peak_kb psql "$SQLQE_TEST_PG_PSQL" --csv -c "SELECT * FROM bench_t")" \
    'BEGIN { printf "%-44s %8.1f MB vs %-14s %8.1f MB\n", "peak memory, --format csv, PostgreSQL", o / 1024, "psql --csv", c / 1024 }'
fi

echo "== Save as from a grid holding the 1,000,000 SQLite rows (write only; baseline: sqlite3 -csv above) =="
base=$(cat "$home/base-SQLite")
"$BUILD/bench/bench_export" "$sqlite_cs" "SELECT * FROM t" "$home" | while read -r name took extra grid; do
  awk -v l="$name" -v o="$took" -v c="$base" -v x="$extra" -v g="$grid" \
    'BEGIN { printf "save as %-36s %8.3f s  vs sqlite3 -csv  %8.3f s   ratio %5.2fx   memory added %6.1f MB (grid %.0f MB)\n",
             l, o / 1000, c / 1000, o / c, x, g }'
done
