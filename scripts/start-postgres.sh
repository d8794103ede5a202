#!/bin/sh
# Starts a throwaway PostgreSQL server for the tests: a cluster of its own in a new temporary
# folder, owned by the postgres user, listening on a Unix socket in that folder only (no TCP).
# Run as root. Prints two lines: the libpq URI of its empty database "notetest", and the
# folder, which scripts/stop-postgres.sh takes to stop the server and remove the cluster.
set -eu

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
    echo "start-postgres.sh: initdb missing (install postgresql)" >&2
    exit 1
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "start-postgres.sh: must run as root" >&2
    exit 1
fi

dir=$(mktemp -d /tmp/note-pg.XXXXXX)
chown postgres:postgres "$dir"
chmod 0700 "$dir"
port=${NOTE_PG_PORT:-54329}
as_postgres() { runuser -u postgres -- "$@"; }
as_postgres "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >&2
as_postgres "$bin/pg_ctl" -D "$dir/data" -l "$dir/log" -w \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -p $port -c fsync=off" start >&2
# The socket folder must be reachable by the tests, which need not run as postgres.
chmod 0755 "$dir"
as_postgres "$bin/createdb" -h "$dir" -p "$port" -U postgres notetest >&2
echo "postgresql:///notetest?host=$dir&port=$port&user=postgres"
echo "$dir"
