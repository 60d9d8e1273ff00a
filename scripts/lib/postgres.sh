# A throwaway PostgreSQL cluster for the test run: initdb in a temp folder, listening on
# 127.0.0.1 only, on a free port of its own, trust authentication (one role aside), one
# database, fsync off unless ALLOCFIX_PG_FSYNC=on (the benchmark wants a server's real cost).
# Sourced by scripts/check and scripts/bench. allocfix_start_postgres exports
# ALLOCFIX_TEST_PG_URL and, for the tests of libpq's password sources and socket hosts,
# ALLOCFIX_TEST_PG_PASSWORD_ROLE (role:password) and ALLOCFIX_TEST_PG_SOCKET_DIR;
# allocfix_stop_postgres stops the server and removes the folder.

ALLOCFIX_PG_BIN=${ALLOCFIX_PG_BIN:-/usr/lib/postgresql/15/bin}
ALLOCFIX_PG_DIR=

allocfix_free_port() {
    local port
    for _ in $(seq 1 50); do
        port=$((20000 + RANDOM % 40000))
        # Nothing answers on a free port.
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

allocfix_start_postgres() {
    if [ ! -x "$ALLOCFIX_PG_BIN/initdb" ]; then
        echo "postgres: $ALLOCFIX_PG_BIN/initdb is missing (Debian package postgresql-15)" >&2
        return 1
    fi
    ALLOCFIX_PG_DIR=$(mktemp -d /tmp/allocfix-pg.XXXXXX)
    local as_owner=()
    # initdb refuses to run as root: the cluster belongs to the postgres system user then.
    if [ "$(id -u)" -eq 0 ]; then
        if ! id postgres >/dev/null 2>&1; then
            echo "postgres: running as root, but there is no postgres user to own the cluster" >&2
            return 1
        fi
        chown postgres: "$ALLOCFIX_PG_DIR"
        as_owner=(runuser -u postgres --)
    fi
    local port
    port=$(allocfix_free_port) || {
        echo "postgres: found no free port" >&2
        return 1
    }
    if ! "${as_owner[@]}" "$ALLOCFIX_PG_BIN/initdb" -D "$ALLOCFIX_PG_DIR/data" -U allocfix \
        --auth=trust -E UTF8 --locale=C.UTF-8 >"$ALLOCFIX_PG_DIR/initdb.log" 2>&1; then
        echo "postgres: initdb failed:" >&2
        cat "$ALLOCFIX_PG_DIR/initdb.log" >&2
        return 1
    fi
    if ! "${as_owner[@]}" "$ALLOCFIX_PG_BIN/pg_ctl" -D "$ALLOCFIX_PG_DIR/data" \
        -l "$ALLOCFIX_PG_DIR/server.log" -w -t 60 \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $ALLOCFIX_PG_DIR -c fsync=${ALLOCFIX_PG_FSYNC:-off}" \
        start >/dev/null; then
        echo "postgres: the server did not start:" >&2
        cat "$ALLOCFIX_PG_DIR/server.log" >&2
        return 1
    fi
    # The second database is for the program's own test, which then runs beside the others
    # (tests/fixedassets/CMakeLists.txt).
    local database
    for database in allocfix_test allocfix_test_program; do
        if ! "${as_owner[@]}" "$ALLOCFIX_PG_BIN/createdb" -h 127.0.0.1 -p "$port" -U allocfix \
            "$database"; then
            echo "postgres: cannot create the test database $database" >&2
            return 1
        fi
    done
    # A role that must give its password (with characters that URLs and the property string
    # treat specially), for the tests of libpq's password sources.
    local password='pa;ss:w@rd/1 x'
    if ! "${as_owner[@]}" "$ALLOCFIX_PG_BIN/psql" -q -h 127.0.0.1 -p "$port" -U allocfix \
        -d allocfix_test -c "CREATE ROLE allocfix_pw LOGIN PASSWORD '$password'" ||
        ! sed -i '1i host all allocfix_pw 127.0.0.1/32 scram-sha-256' \
            "$ALLOCFIX_PG_DIR/data/pg_hba.conf" ||
        ! "${as_owner[@]}" "$ALLOCFIX_PG_BIN/pg_ctl" -D "$ALLOCFIX_PG_DIR/data" reload >/dev/null; then
        echo "postgres: cannot create the password role" >&2
        return 1
    fi
    export ALLOCFIX_TEST_PG_URL="postgresql://allocfix@127.0.0.1:$port/allocfix_test"
    export ALLOCFIX_TEST_PG_PASSWORD_ROLE="allocfix_pw:$password"
    export ALLOCFIX_TEST_PG_SOCKET_DIR="$ALLOCFIX_PG_DIR"
    echo "== postgres: $ALLOCFIX_TEST_PG_URL"
}

allocfix_stop_postgres() {
    [ -n "$ALLOCFIX_PG_DIR" ] || return 0
    if [ -f "$ALLOCFIX_PG_DIR/data/postmaster.pid" ]; then
        local as_owner=()
        [ "$(id -u)" -eq 0 ] && as_owner=(runuser -u postgres --)
        "${as_owner[@]}" "$ALLOCFIX_PG_BIN/pg_ctl" -D "$ALLOCFIX_PG_DIR/data" -m fast -w \
            stop >/dev/null 2>&1 || true
    fi
    rm -rf "$ALLOCFIX_PG_DIR"
    ALLOCFIX_PG_DIR=
}
