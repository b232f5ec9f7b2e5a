# Sourced by run-tests.sh: a private PostgreSQL cluster on 127.0.0.1 for the tests.
# PostgreSQL refuses to run as root, so the cluster belongs to the postgres user.
pg_test_start() {
  local bindir
  bindir="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
  if [ -z "$bindir" ]; then echo "PostgreSQL not installed; its tests will skip"; return 0; fi
  PG_TEST_DIR="$(mktemp -d /tmp/jx-pg.XXXXXX)"
  PG_TEST_PORT="${PG_TEST_PORT:-55432}"
  local run=()
  if [ "$(id -u)" -eq 0 ]; then chown postgres "$PG_TEST_DIR"; run=(runuser -u postgres --); fi
  "${run[@]}" "$bindir/initdb" -D "$PG_TEST_DIR/data" -U jxtest --auth=trust -E UTF8 >/dev/null
  "${run[@]}" "$bindir/pg_ctl" -D "$PG_TEST_DIR/data" -l "$PG_TEST_DIR/log" -w \
      -o "-c listen_addresses=127.0.0.1 -p $PG_TEST_PORT -k $PG_TEST_DIR" start >/dev/null
  "${run[@]}" "$bindir/createdb" -h 127.0.0.1 -p "$PG_TEST_PORT" -U jxtest jxtest
  export JX_TEST_PG="host=127.0.0.1;port=$PG_TEST_PORT;user=jxtest;database=jxtest"
  PG_TEST_BIN="$bindir"; PG_TEST_RUN=("${run[@]}")
  echo "PostgreSQL test server on 127.0.0.1:$PG_TEST_PORT"
}
pg_test_stop() {
  [ -n "${PG_TEST_DIR:-}" ] || return 0
  "${PG_TEST_RUN[@]}" "$PG_TEST_BIN/pg_ctl" -D "$PG_TEST_DIR/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$PG_TEST_DIR"
}
