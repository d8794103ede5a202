#!/bin/sh
# Stops the server scripts/start-postgres.sh started in the folder given and removes it.
set -eu
dir=$1
case "$dir" in
/tmp/note-pg.*) ;;
*)
    echo "stop-postgres.sh: not a folder of start-postgres.sh: $dir" >&2
    exit 1
    ;;
esac
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
runuser -u postgres -- "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >&2 || true
rm -rf "$dir"
