#!/usr/bin/env bash
# sqlqe-run --text (aligned text, as the text pane shows it) on the 1,000,000
# x 8 tables against the databases' own clients printing the same rows, wall
# time and CPU time (user + system), minimum of RUNS interleaved runs each
# (called by bench/run, which makes the tables).
set -euo pipefail
runs=${RUNS:-5}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

# "wall_ms cpu_ms" of a command, its output discarded
measure() {
  local t
  t=$(mktemp)
  /usr/bin/time -f "%e %U %S" -o "$t" "$@" >/dev/null 2>&1
  awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' "$t"
  rm -f "$t"
}
ours() { echo "$1" | "$BUILD/bin/sqlqe-run" --home "$home" --text --connect "$2" -; }
export -f ours; export BUILD home

# label, our command, baseline label, baseline command
compare() {
  local bw=999999999 bc=999999999 ow=999999999 oc=999999999 i w c
  for ((i = 0; i < runs; i++)); do
    read -r w c < <(measure bash -c "$2"); ((w < ow)) && ow=$w; ((c < oc)) && oc=$c
    read -r w c < <(measure bash -c "$4"); ((w < bw)) && bw=$w; ((c < bc)) && bc=$c
  done
  awk -v l="$1" -v ow="$ow" -v oc="$oc" -v bl="$3" -v bw="$bw" -v bc="$bc" 'BEGIN {
    printf "%-30s wall %6.3f s cpu %6.3f s  vs %-22s wall %6.3f s cpu %6.3f s  ratio wall %.2fx cpu %.2fx\n",
           l, ow / 1000, oc / 1000, bl, bw / 1000, bc / 1000, ow / bw, oc / bc }'
}

echo "== sqlqe-run --text, 1,000,000 rows x 8 columns, minimum of $runs runs (target <= 1.0x) =="
compare "--text, PostgreSQL" "ours 'SELECT * FROM bench_t' '$SQLQE_TEST_PG'" \
        "psql (aligned)" "psql '$SQLQE_TEST_PG_PSQL' -X -P pager=off -c 'SELECT * FROM bench_t'"
compare "--text, PostgreSQL" "ours 'SELECT * FROM bench_t' '$SQLQE_TEST_PG'" \
        "psql -At" "psql '$SQLQE_TEST_PG_PSQL' -X -At -c 'SELECT * FROM bench_t'"
compare "--text, SQLite" "ours 'SELECT * FROM t' 'Provider=SQLite;Data Source=$OUT/big.db'" \
        "sqlite3" "sqlite3 '$OUT/big.db' 'SELECT * FROM t'"
