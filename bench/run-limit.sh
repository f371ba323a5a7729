#!/usr/bin/env bash
# sqlqe-run --max-rows 10 on a query that would stream rows for minutes, on
# every server backend: how long after its last row the runner exits (target
# under 50 ms), median of RUNS runs; the first row's time for comparison
# (called by bench/run).
set -euo pipefail
runs=${RUNS:-5}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
pg_query="SELECT a FROM generate_series(1, 100000) a, generate_series(1, 100000) b"
maria_query="SELECT a.seq FROM seq_1_to_100000 a, seq_1_to_100000 b"

# "ms_to_last_row ms_to_exit" of the runner on a connection string and query
timing() {
  python3 - "$BUILD/bin/sqlqe-run" "$home" "$1" "$2" <<'PY'
import subprocess, sys, time
runner, home, cs, query = sys.argv[1:]
start = time.monotonic()
p = subprocess.Popen([runner, "--home", home, "--text", "--max-rows", "10", "--connect", cs, "-"],
                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
p.stdin.write(query.encode()); p.stdin.close()
last = start
for line in p.stdout:
    if line[:1].isdigit(): last = time.monotonic()
p.wait()
end = time.monotonic()
print(int((last - start) * 1000), int((end - start) * 1000))
PY
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "== sqlqe-run --max-rows 10 on an endless join: exit after the last row, median of $runs runs (target < 50 ms) =="
for target in "PostgreSQL|$SQLQE_TEST_PG|$pg_query" "PostgreSQL (ODBC)|${SQLQE_TEST_PG}Backend=ODBC;|$pg_query" \
              "MariaDB|${SQLQE_TEST_MARIADB:-}|$maria_query"; do
  IFS='|' read -r label cs query <<<"$target"
  [ -n "$cs" ] || continue
  lasts=(); gaps=()
  for ((i = 0; i < runs; i++)); do
    read -r last total < <(timing "$cs" "$query")
    lasts+=("$last"); gaps+=("$((total - last))")
  done
  printf '%-20s last row at %5s ms   exit %4s ms after it\n' "$label" \
    "$(printf '%s\n' "${lasts[@]}" | median)" "$(printf '%s\n' "${gaps[@]}" | median)"
done
