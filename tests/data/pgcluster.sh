#!/bin/sh
# A PostgreSQL cluster of its own, for the class server's tests and benchmark,
# in folder DIR on 127.0.0.1:PORT, with Debian's newest server. As root, the
# server runs as nobody. Logins take their passwords from DIR/pgpass.
#   pgcluster.sh init DIR PORT SCHEMA            make it, start it, run SCHEMA (psql)
#   pgcluster.sh start|stop|check DIR PORT      check: the binaries are there
#   pgcluster.sh roles DIR PORT GROUP PW LOGIN...  logins in GROUP; PW not empty: a wrong password kept for them
set -eu
action=$1 dir=$2 port=$3
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
as=""; [ "$(id -u)" -ne 0 ] || as="runuser -u nobody --"
ctl() {
    $as "$bin/pg_ctl" -D "$dir/data" -w -m fast -l "$dir/data/log" \
        -o "-p $port -c listen_addresses=127.0.0.1 -c max_connections=120 -k $dir/data" "$1" >/dev/null
}
run_psql() { PGPASSFILE="$dir/pgpass" "$bin/psql" -h 127.0.0.1 -p "$port" -U admin -d postgres -q -v ON_ERROR_STOP=1 "$@"; }
case $action in
init)
    echo admin-pw >"$dir/pw"
    echo "127.0.0.1:$port:*:admin:admin-pw" >"$dir/pgpass"
    chmod 755 "$dir" && chmod 644 "$dir/pw" && chmod 600 "$dir/pgpass"
    [ -z "$as" ] || chown nobody "$dir"
    $as "$bin/initdb" -D "$dir/data" -U admin --pwfile "$dir/pw" --auth=scram-sha-256 -E UTF8 --no-locale >/dev/null
    ctl start
    run_psql -f "$4" ;;
start | stop) ctl "$action" ;;
check) test -x "$bin/initdb" ;;
roles)
    group=$4 wrong=$5 && shift 5
    for login; do
        echo "127.0.0.1:$port:*:$login:${wrong:-$login-pw}" >>"$dir/pgpass"
        run_psql -c "CREATE ROLE $login LOGIN PASSWORD '$login-pw' IN ROLE $group"
    done ;;
esac
