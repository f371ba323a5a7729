#!/usr/bin/env bash
# sqlqe-run --tsv against psql -At -F tab on PostgreSQL tables of 1,000,000 x 8
# columns of several shapes (called by bench/run), native backend and, for
# comparison, the ODBC driver (Backend=ODBC). Median of RUNS interleaved runs;
# the tables (bench_shape_*) are made once and kept.
set -euo pipefail
runs=${RUNS:-5}
odbc_runs=$((runs < 3 ? runs : 3))
rows=${BENCH_ROWS:-1000000}
psql_cs=$SQLQE_TEST_PG_PSQL
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

declare -A shapes=(
  [mixed]="i integer, j integer, k integer, x float8, y float8, z float8, s1 text, s2 text|
    i, i * 2, i % 1000, i * 0.5, i / 3.0, i * 1.25, 'name ' || (i % 5000), to_char(i, 'FM00000000')"
  [integers]="a integer, b integer, c integer, d integer, e bigint, f bigint, g bigint, h bigint|
    i, -i, i % 1000, i * 7, i::bigint * 1000003, -i::bigint * 77, i % 13, i::bigint << 20"
  [numeric]="a numeric, b numeric, c numeric, d numeric, e numeric(12,2), f numeric(12,2), g numeric(18,6), h numeric|
    i, i * 1.25, i / 7.0, -i * 0.001, i * 0.01, i % 1000 + 0.5, i / 3.0, 12345678901234.5 + i"
  [float8]="a float8, b float8, c float8, d float8, e float8, f float8, g float8, h float8|
    i, i * 0.5, i / 3.0, sqrt(i), -i * 1.25, i * 1e-7, ln(i), i * 1e10"
  [text]="a text, b text, c text, d text, e varchar(40), f varchar(40), g varchar(10), h varchar|
    'name ' || i, md5(i::text), repeat('x', i % 20), 'é ' || (i % 100), 'v' || i, to_char(i, 'FM00000000'), 'ab', 'free ' || (i % 7)"
  [timestamp_bool]="a timestamp, b timestamp, c timestamp(0), d date, e boolean, f boolean, g boolean, h boolean|
    timestamp '2020-01-01' + i * interval '1 second', timestamp '2000-01-01 00:00:00.123' + i * interval '1 minute',
    timestamp '2020-01-01' + i * interval '1 hour', date '2000-01-01' + i % 10000, i % 2 = 0, i % 3 = 0, true, i % 5 = 0"
  [nulls]="a integer, b text, c float8, d numeric, e timestamp, f boolean, g varchar(20), h bigint|
    CASE WHEN i % 5 = 0 THEN i END, CASE WHEN i % 4 = 0 THEN 'n' || i END,
    CASE WHEN i % 6 = 0 THEN i * 0.5 END, NULL, CASE WHEN i % 10 = 0 THEN timestamp '2020-01-01' END,
    CASE WHEN i % 3 = 0 THEN true END, NULL, CASE WHEN i % 2 = 0 THEN i END"
)

for name in "${!shapes[@]}"; do
  table=bench_shape_$name
  if [ "$(psql "$psql_cs" -Atc "SELECT count(*) FROM pg_tables WHERE tablename = '$table'")" = 0 ]; then
    columns=${shapes[$name]%%|*}
    values=${shapes[$name]#*|}
    psql "$psql_cs" -q -c "CREATE TABLE $table ($columns); INSERT INTO $table SELECT $values FROM generate_series(1, $rows) i; ANALYZE $table;"
  fi
done

ms() { local s e; s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N); echo $(((e - s) / 1000000)); }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ours() { echo "SELECT * FROM $1" | "$BUILD/bin/sqlqe-run" --home "$home" --tsv --connect "$2" -; }

echo "== sqlqe-run --tsv vs psql -At -F tab, PostgreSQL, $rows x 8 columns, median of $runs runs (ODBC: $odbc_runs) =="
for name in mixed integers numeric float8 text timestamp_bool nulls; do
  table=bench_shape_$name
  o=(); p=(); d=()
  for ((i = 0; i < runs; i++)); do
    o+=("$(ms ours "$table" "$SQLQE_TEST_PG")")
    p+=("$(ms psql "$psql_cs" -At -F $'\t' -c "SELECT * FROM $table")")
    if ((i < odbc_runs)); then d+=("$(ms ours "$table" "${SQLQE_TEST_PG}Backend=ODBC;")"); fi
  done
  mo=$(printf '%s\n' "${o[@]}" | median); mp=$(printf '%s\n' "${p[@]}" | median); md=$(printf '%s\n' "${d[@]}" | median)
  awk -v l="$name" -v o="$mo" -v p="$mp" -v d="$md" 'BEGIN {
    printf "%-16s native %7.3f s  psql %7.3f s  ratio %.2fx (target <= 1.2x)   ODBC %7.3f s  ratio %.2fx\n",
           l, o / 1000, p / 1000, o / p, d / 1000, d / p }'
done
