#!/usr/bin/env bash
# MariaDB: sqlqe-run --max-rows 10 on a 9,000,000-row cross join (called by
# bench/run): time to the first row out and peak memory, against the mariadb
# client with --quick (which streams) on the same query. Median of RUNS runs.
# (Runs through MariaDB's ODBC driver are refused: it reads whole results.)
set -euo pipefail
if [ -z "${SQLQE_TEST_MARIADB:-}" ]; then echo "stream: SQLQE_TEST_MARIADB is not set, skipped"; exit 0; fi
runs=${RUNS:-5}
cs=$SQLQE_TEST_MARIADB
field() { sed -n "s/.*[;{]$1=\([^;]*\);.*/\1/Ip" <<<";$cs"; }
host=$(field Server); port=$(field Port); user=$(field Uid); pass=$(field Pwd); database=$(field Database)
query="SELECT a.seq * 10000 + b.seq AS n, 'some text' AS t FROM seq_1_to_3000 a, seq_1_to_3000 b"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

# "ms_to_first_line peak_kb" of a command printing to stdout
first_line() {
  local s e first out
  out=$(mktemp)
  s=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$out" "$@" 2>/dev/null | { IFS= read -r _; date +%s%N; cat >/dev/null; } >"$out.first"
  e=$(cat "$out.first")
  first=$(((e - s) / 1000000))
  echo "$first $(tail -n 1 "$out")"
  rm -f "$out" "$out.first"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
runner() { echo "$query" | "$BUILD/bin/sqlqe-run" --home "$home" --text --max-rows 10 --connect "$1" -; }
export -f runner; export BUILD home query

of=(); om=(); cf=(); cm=()
for ((i = 0; i < runs; i++)); do
  read -r f k < <(first_line bash -c 'runner "$0"' "$cs"); of+=("$f"); om+=("$k")
  read -r f k < <(first_line mariadb --quick -N -h "$host" -P "$port" -u "$user" -p"$pass" "$database" -e "$query"); cf+=("$f"); cm+=("$k")
done
m() { printf '%s\n' "$@" | median; }
echo "== MariaDB, 9,000,000-row cross join, --max-rows 10, median of $runs runs =="
awk -v o="$(m "${of[@]}")" -v c="$(m "${cf[@]}")" 'BEGIN {
  printf "%-44s %8.0f ms vs %-26s %8.0f ms  ratio %.2fx\n", "sqlqe-run: first row out", o, "mariadb --quick", c, o / c }'
awk -v o="$(m "${om[@]}")" -v c="$(m "${cm[@]}")" 'BEGIN {
  printf "%-44s %8.1f MB vs %-26s %8.1f MB  ratio %.2fx\n", "sqlqe-run: peak memory", o / 1024, "mariadb --quick", c / 1024, o / c }'
