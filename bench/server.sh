#!/usr/bin/env bash
# Measures a shop on a PostgreSQL server started here for the purpose (a
# Unix socket in a temporary folder, stopped at the end):
#  - `tardesk-admin update` of PARTS parts against `psql` doing, in one
#    transaction, CREATE TABLE of the same columns, \copy of the same
#    import.txt and the same two CREATE INDEX (five runs of each, alternated:
#    medians, their ratio, the median of the pairs' ratios, our peak memory);
#  - searching and opening price lists through the server (tardesk-bench-server).
#   bench/server.sh [BUILD_DIR] [PARTS]
set -euo pipefail
build=${1:-build}
parts=${2:-1000000}
work=${TARDESK_BENCH_DIR:-${TMPDIR:-/tmp}/tardesk-bench}/server-$parts
admin=$build/src/tardesk-admin
gen=$build/tools/generator/tardesk-gen
bin=/usr/lib/postgresql/15/bin

mkdir -p "$work/input"
[[ -f "$work/input/import.txt" ]] || "$gen" text "$work/input" "$parts"
echo "import.txt: $(du -m "$work/input/import.txt" | cut -f1) MB, $(($(wc -l < "$work/input/import.txt") - 1)) rows"

# The server runs as postgres, which root may not be.
as_server() { if [[ $(id -u) == 0 ]]; then runuser -u postgres -- "$@"; else "$@"; fi; }
data=$(mktemp -d /tmp/tardesk-pg.XXXXXX)
chmod 755 "$data"
[[ $(id -u) == 0 ]] && chown postgres: "$data"
as_server "$bin/initdb" -D "$data/db" -E UTF8 --locale=C.UTF-8 -A trust -U postgres --no-sync >/dev/null
as_server "$bin/pg_ctl" -D "$data/db" -l "$data/log" -w -o "-k $data -c listen_addresses= -c fsync=off" start >/dev/null
trap 'as_server "$bin/pg_ctl" -D "$data/db" -m immediate stop >/dev/null; rm -rf "$data"' EXIT
server="host=$data user=postgres"
sql() { psql "$server dbname=$1" -X -q -v ON_ERROR_STOP=1 "${@:2}"; }

price_table="CREATE TABLE PRICE (GROUPCODE varchar(15), PARTNUMBER varchar(22), SHORTPARTNUMBER varchar(22), PARTNAME varchar(60), CROSSNUMBER varchar(10), PRICE real, WH0 smallint, WH1 smallint, WH2 smallint, WH3 smallint, WH4 smallint, WH5 smallint, WH6 smallint, WH7 smallint, WH8 smallint);"
index1="CREATE INDEX PRICE_SHORTPARTNUMBER ON PRICE(SHORTPARTNUMBER);"
index2="CREATE INDEX PRICE_CROSSNUMBER ON PRICE(CROSSNUMBER);"

ours=() theirs=() peak=0
now() { date +%s.%N; }
for run in 1 2 3 4 5; do
    sql postgres -c "DROP DATABASE IF EXISTS ours" -c "CREATE DATABASE ours ENCODING 'UTF8' TEMPLATE template0"
    rm -rf "$work/ours" && mkdir -p "$work/ours"
    "$admin" init "$work/ours" --server "$server dbname=ours" >/dev/null
    ln -s "$work/input/import.txt" "$work/input/importg.txt" "$work/ours/"
    start=$(now)
    /usr/bin/time -f "%M" -o "$work/rss" "$admin" update "$work/ours" 2>/dev/null
    ours+=("$(awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.2f", a - b }')")
    read -r rss < "$work/rss"; ((rss > peak)) && peak=$rss

    sql postgres -c "DROP DATABASE IF EXISTS theirs" -c "CREATE DATABASE theirs ENCODING 'UTF8' TEMPLATE template0"
    start=$(now)
    sql theirs -1 -c "$price_table" \
        -c "\\copy PRICE FROM '$work/input/import.txt' WITH (FORMAT csv, DELIMITER ';', HEADER true)" \
        -c "$index1" -c "$index2"
    theirs+=("$(awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.2f", a - b }')")
    echo "run $run: tardesk-admin update ${ours[-1]} s, psql ${theirs[-1]} s"
done

median() { printf '%s\n' "$@" | sort -g | sed -n 3p; }
m_ours=$(median "${ours[@]}")
m_theirs=$(median "${theirs[@]}")
pairs=()
for run in 0 1 2 3 4; do
    pairs+=("$(awk -v a="${ours[$run]}" -v b="${theirs[$run]}" 'BEGIN { printf "%.3f", a / b }')")
done
echo "median: tardesk-admin update $m_ours s, psql $m_theirs s, ratio $(awk -v a="$m_ours" -v b="$m_theirs" 'BEGIN { printf "%.3f", a / b }')"
echo "median of the pairs' ratios: $(median "${pairs[@]}")"
echo "peak resident memory of tardesk-admin update: $((peak / 1024)) MB"

# The load test replaces the loaded list by another one while it searches.
mkdir -p "$work/other"
[[ -f "$work/other/import.txt" ]] || "$gen" text "$work/other" "$parts" 2
rm -f "$work/ours/import.txt" "$work/ours/importg.txt"
ln -s "$work/other/import.txt" "$work/other/importg.txt" "$work/ours/"
TARDESK_BENCH_SERVER="$server dbname=ours" TARDESK_BENCH_ADMIN="$admin" TARDESK_BENCH_UPDATE_FOLDER="$work/ours" \
    "$build/bench/tardesk-bench-server"
