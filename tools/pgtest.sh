#!/usr/bin/env bash
# A throwaway PostgreSQL server for the database tests.
#
#   tools/pgtest.sh start ENVFILE [COUNT]
#                                   start a server on 127.0.0.1 (free port) with
#                                   the sample database, write ENVFILE; COUNT
#                                   generated documents on top of the fixed ones
#                                   (sampledb.py --count, default 0)
#   tools/pgtest.sh stop ENVFILE    stop that server and remove its files
#
# The server lives in a fresh folder under /tmp and holds the database
# "tabellix" with the sample tables in schema ulvo (tools/sampledb), a role
# that may only SELECT, and a private odbc.ini with the data source
# "tabellix_pg" for psqlODBC. ENVFILE exports what the tests read:
# TBX_PG_HOST, TBX_PG_PORT, TBX_PG_DATABASE, TBX_PG_USER, TBX_PG_PASSWORD,
# TBX_PG_DSN, ODBCINI and TBX_PG_DIR.
#
# As root the server runs as the postgres user; any other user runs it as
# themselves.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cmd="${1:-}"
envfile="${2:-}"
count="${3:-0}"
if [ -z "$cmd" ] || [ -z "$envfile" ] || ! [[ "$count" =~ ^[0-9]+$ ]]; then
  echo "Aufruf: $0 start ENVFILE [ANZAHL] | stop ENVFILE" >&2
  exit 2
fi

pgbin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)"
reader="tbx_leser"
# A semicolon and a blank in the password keep the quoting of every layer honest.
reader_password="Lese;Recht 42"

as_server() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

start() {
  if [ -z "$pgbin" ] || [ ! -x "$pgbin/initdb" ]; then
    echo "pgtest: PostgreSQL ist nicht installiert (/usr/lib/postgresql/*/bin/initdb fehlt)" >&2
    return 1
  fi
  local dir port
  dir="$(mktemp -d /tmp/tabellix-pg.XXXXXX)"
  chmod 755 "$dir"
  mkdir -p "$dir"/{pgdata,pgsock,pglog}
  head -c 18 /dev/urandom | base64 | tr -d '/+=' >"$dir/superuser.pw"
  if [ "$(id -u)" -eq 0 ]; then chown -R postgres "$dir"/{pgdata,pgsock,pglog} "$dir/superuser.pw"; fi
  chmod 700 "$dir"/{pgdata,pgsock}
  # Written before anything can fail, so that stop always finds the folder.
  {
    printf 'export TBX_PG_DIR=%q\n' "$dir"
  } >"$envfile"

  as_server "$pgbin/initdb" -D "$dir/pgdata" -U postgres --pwfile="$dir/superuser.pw" \
    --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --locale=C.UTF-8 >"$dir/pglog/initdb.log" 2>&1 || {
    echo "pgtest: initdb gescheitert, siehe $dir/pglog/initdb.log" >&2
    return 1
  }
  port="$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
  as_server "$pgbin/pg_ctl" -D "$dir/pgdata" -l "$dir/pglog/pg.log" -w -t 30 \
    -o "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories=$dir/pgsock" start >/dev/null || {
    echo "pgtest: Server startet nicht, siehe $dir/pglog/pg.log" >&2
    return 1
  }

  /usr/bin/python3 "$here/sampledb/sampledb.py" --postgres "$dir/sample.sql" --count "$count" 2>/dev/null || {
    echo "pgtest: Beispieldaten nicht erzeugt (sampledb.py --count $count)" >&2
    return 1
  }
  local sql_password="${reader_password//\'/\'\'}"
  {
    echo "CREATE ROLE $reader LOGIN PASSWORD '$sql_password';"
    echo "CREATE DATABASE tabellix ENCODING 'UTF8' TEMPLATE template0;"
    echo "REVOKE ALL ON DATABASE tabellix FROM PUBLIC;"
    # TEMPORARY lets the tests prove that the read-only session, not only the
    # missing rights, refuses CREATE TEMP TABLE.
    echo "GRANT CONNECT, TEMPORARY ON DATABASE tabellix TO $reader;"
    echo "\\connect tabellix"
    cat "$dir/sample.sql"
    echo "GRANT USAGE ON SCHEMA ulvo TO $reader;"
    echo "GRANT SELECT ON ALL TABLES IN SCHEMA ulvo TO $reader;"
    echo "ALTER ROLE $reader SET search_path = ulvo;"
  } | as_server "$pgbin/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir/pgsock" -p "$port" -U postgres -d postgres \
        >"$dir/pglog/load.log" 2>&1 || {
    echo "pgtest: Beispieldatenbank nicht geladen, siehe $dir/pglog/load.log" >&2
    return 1
  }

  cat >"$dir/odbc.ini" <<EOF
[tabellix_pg]
Driver = PostgreSQL Unicode
Servername = 127.0.0.1
Port = $port
Database = tabellix
EOF
  {
    printf 'export TBX_PG_DIR=%q\n' "$dir"
    printf 'export TBX_PG_HOST=127.0.0.1\n'
    printf 'export TBX_PG_PORT=%q\n' "$port"
    printf 'export TBX_PG_DATABASE=tabellix\n'
    printf 'export TBX_PG_USER=%q\n' "$reader"
    printf 'export TBX_PG_PASSWORD=%q\n' "$reader_password"
    printf 'export TBX_PG_DSN=tabellix_pg\n'
    printf 'export ODBCINI=%q\n' "$dir/odbc.ini"
  } >"$envfile"
  echo "pgtest: PostgreSQL läuft auf 127.0.0.1:$port ($dir)" >&2
}

stop() {
  [ -f "$envfile" ] || return 0
  local dir
  dir="$(. "$envfile" && echo "${TBX_PG_DIR:-}")"
  if [ -n "$dir" ] && [ -d "$dir" ]; then
    if [ -f "$dir/pgdata/postmaster.pid" ]; then
      as_server "$pgbin/pg_ctl" -D "$dir/pgdata" -m fast -w stop >/dev/null || true
    fi
    case "$dir" in /tmp/tabellix-pg.*) rm -rf "$dir" ;; esac
  fi
  rm -f "$envfile"
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  *) echo "Aufruf: $0 start ENVFILE [ANZAHL] | stop ENVFILE" >&2; exit 2 ;;
esac
