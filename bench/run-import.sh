#!/usr/bin/env bash
# CSV import of 1,000,000 rows (called by bench/run): sqlqe-run --import into
# an existing table, against each database's own bulk loader reading the
# same file into the same table in the same round: psql \copy (PostgreSQL),
# sqlite3 .import (SQLite) and mariadb LOAD DATA LOCAL (MariaDB). The file
# holds quotes, commas and line breaks inside quoted fields and UTF-8 text.
# Minimum of RUNS interleaved rounds; target ratio <= 1.3x.
set -euo pipefail
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
csv=$OUT/import-1m.csv
if [ ! -f "$csv" ]; then
  python3 - "$csv" <<'PY'
import sys
with open(sys.argv[1], "w", encoding="utf-8", newline="") as f:
    f.write("id,name,amount,day,note\n")
    for i in range(1, 1000001):
        note = '"line one\nline two"' if i % 100 == 0 else "plain"
        f.write(f'{i},"Zoë ""{i % 5000}"", 😀 café",{i * 0.25:.2f},2024-{i % 12 + 1:02d}-{i % 28 + 1:02d},{note}\n')
PY
fi
ddl="CREATE TABLE bench_imp (id INTEGER, name VARCHAR(60), amount NUMERIC(12,2), day DATE, note VARCHAR(40))"

ms() { local s e; s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N); echo $(((e - s) / 1000000)); }
line() { # label ours_ms cli_label cli_ms (labels through the environment: awk -v reads backslashes)
  L=$1 CL=$3 awk -v o="$2" -v c="$4" \
    'BEGIN { printf "%-40s %8.3f s  vs %-24s %8.3f s   ratio %.2fx (target <= 1.3x)\n", ENVIRON["L"], o / 1000, ENVIRON["CL"], c / 1000, o / c }'
}
ours() { "$BUILD/bin/sqlqe-run" --home "$work" --connect "$1" --import "$csv" --table bench_imp; }
# best LABEL CONNECTION RESET-COMMAND CLI-LABEL CLI-COMMAND...: the table is emptied before every load
best() {
  local label=$1 cs=$2 reset=$3 cli_label=$4 o c bo=999999999 bc=999999999 i
  shift 4
  for ((i = 0; i < runs; i++)); do
    bash -c "$reset"; o=$(ms ours "$cs")
    bash -c "$reset"; c=$(ms "$@")
    ((o < bo)) && bo=$o; ((c < bc)) && bc=$c
  done
  line "sqlqe-run --import, $label" "$bo" "$cli_label" "$bc"
}

echo "== CSV import of 1,000,000 rows, minimum of $runs interleaved rounds =="
db=$work/imp.db
sqlite3 "$db" "$ddl"
best SQLite "Provider=SQLite;Data Source=$db" "sqlite3 '$db' 'DELETE FROM bench_imp'" "sqlite3 .import" \
  sqlite3 "$db" ".import --csv --skip 1 $csv bench_imp"
rows=$(sqlite3 "$db" "SELECT count(*) FROM bench_imp")
[ "$rows" = 1000000 ] || echo "warning: SQLite holds $rows rows after the client's load"

if [ -n "${SQLQE_TEST_PG_PSQL:-}" ]; then
  psql "$SQLQE_TEST_PG_PSQL" -q -c "DROP TABLE IF EXISTS bench_imp" -c "$ddl"
  best PostgreSQL "$SQLQE_TEST_PG" "psql '$SQLQE_TEST_PG_PSQL' -q -c 'TRUNCATE bench_imp'" "psql \\copy" \
    psql "$SQLQE_TEST_PG_PSQL" -q -c "\\copy bench_imp FROM '$csv' WITH (FORMAT csv, HEADER true)"
fi

if [ -n "${SQLQE_TEST_MARIADB:-}" ]; then
  key() { sed -n "s/.*;$1=\\([^;]*\\);.*/\\1/p" <<<";$SQLQE_TEST_MARIADB"; }
  maria=(mariadb --local-infile=1 -h "$(key Server)" -P "$(key Port)" -u "$(key Uid)" "-p$(key Pwd)" "$(key Database)")
  "${maria[@]}" -e "DROP TABLE IF EXISTS bench_imp; $ddl"
  printf -v load "LOAD DATA LOCAL INFILE '%s' INTO TABLE bench_imp CHARACTER SET utf8mb4 FIELDS TERMINATED BY ',' OPTIONALLY ENCLOSED BY '\"' ESCAPED BY '' LINES TERMINATED BY '\\\\n' IGNORE 1 LINES" "$csv"
  best MariaDB "$SQLQE_TEST_MARIADB" "$(printf '%q ' "${maria[@]}") -e 'TRUNCATE bench_imp'" "mariadb LOAD DATA LOCAL" \
    "${maria[@]}" -e "$load"
fi
