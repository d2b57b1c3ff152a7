#!/usr/bin/env bash
# Times `tardesk-admin update` against the stock sqlite3 client loading the
# same import.txt into a fresh file with the same table and indexes, and an
# FTS5 index of the names as the reference for our name index.
# Five runs of each, alternated; prints the medians, their ratio, the median
# of the five pairs' ratios and our peak resident memory.
#   bench/update-vs-sqlite3.sh [BUILD_DIR] [PARTS] [first|previous]
# first (the default) loads into a new database; previous loads over the same
# list as loaded before with a tenth of the prices raised, a tenth lowered, a
# hundredth of the numbers changed and a hundredth of the parts missing, so
# the update also compares the lists.
set -euo pipefail
build=${1:-build}
parts=${2:-1000000}
mode=${3:-first}
work=${TARDESK_BENCH_DIR:-${TMPDIR:-/tmp}/tardesk-bench}/update-$parts
admin=$build/src/tardesk-admin
gen=$build/tools/generator/tardesk-gen

mkdir -p "$work/input"
[[ -f "$work/input/import.txt" ]] || "$gen" text "$work/input" "$parts"
echo "import.txt: $(du -m "$work/input/import.txt" | cut -f1) MB, $(($(wc -l < "$work/input/import.txt") - 1)) rows;" \
     "importg.txt: $(($(wc -l < "$work/input/importg.txt") - 1)) groups"

previous=$work/previous
if [[ $mode == previous && ! -f "$previous/Tardesk.mdb" ]]; then
    rm -rf "$previous" && "$admin" init "$previous" >/dev/null
    ln -s "$work/input/import.txt" "$work/input/importg.txt" "$previous/"
    "$admin" update "$previous" 2>/dev/null
    sqlite3 "$previous/Tardesk.mdb" "UPDATE PRICE SET PRICE = PRICE / 1.05 WHERE rowid % 10 = 0" \
        "UPDATE PRICE SET PRICE = PRICE / 0.97 WHERE rowid % 10 = 1" \
        "UPDATE PRICE SET PARTNUMBER = PARTNUMBER || '-OLD' WHERE rowid % 100 = 2" \
        "DELETE FROM PRICE WHERE rowid % 100 = 3" "VACUUM"
fi

price_table="CREATE TABLE PRICE (GROUPCODE TEXT(15), PARTNUMBER TEXT(22), SHORTPARTNUMBER TEXT(22), PARTNAME TEXT(60), CROSSNUMBER TEXT(10), PRICE SINGLE, WH0 SHORT, WH1 SHORT, WH2 SHORT, WH3 SHORT, WH4 SHORT, WH5 SHORT, WH6 SHORT, WH7 SHORT, WH8 SHORT);"
index1="CREATE INDEX PRICE_SHORTPARTNUMBER ON PRICE(SHORTPARTNUMBER);"
index2="CREATE INDEX PRICE_CROSSNUMBER ON PRICE(CROSSNUMBER);"
names="CREATE VIRTUAL TABLE NAMES USING fts5(PARTNAME, content='PRICE', content_rowid='rowid', tokenize='unicode61 remove_diacritics 2', prefix='2 3');"
names_rebuild="INSERT INTO NAMES(NAMES) VALUES('rebuild');"

ours=() theirs=() ours_cpu=() theirs_cpu=() peak=0
now() { date +%s.%N; }
for run in 1 2 3 4 5; do
    rm -rf "$work/ours" && "$admin" init "$work/ours" >/dev/null
    [[ $mode == previous ]] && cp "$previous/Tardesk.mdb" "$work/ours/Tardesk.mdb"
    ln -s "$work/input/import.txt" "$work/input/importg.txt" "$work/ours/"
    sync
    start=$(now)
    /usr/bin/time -f "%M %U %S" -o "$work/rss" "$admin" update "$work/ours" 2>/dev/null
    ours+=("$(awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.2f", a - b }')")
    read -r rss user system < "$work/rss"; ((rss > peak)) && peak=$rss
    ours_cpu+=("$(awk -v a="$user" -v b="$system" 'BEGIN { printf "%.2f", a + b }')")

    rm -rf "$work/theirs" && "$admin" init "$work/theirs" >/dev/null
    sync
    start=$(now)
    /usr/bin/time -f "%U %S" -o "$work/cpu" sqlite3 "$work/theirs/Tardesk.mdb" ".mode csv" ".separator ;" "DROP TABLE PRICE" "$price_table" \
        ".import --skip 1 $work/input/import.txt PRICE" "$index1" "$index2" "$names" "$names_rebuild"
    theirs+=("$(awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.2f", a - b }')")
    read -r user system < "$work/cpu"
    theirs_cpu+=("$(awk -v a="$user" -v b="$system" 'BEGIN { printf "%.2f", a + b }')")
    echo "run $run: tardesk-admin update ${ours[-1]} s (CPU ${ours_cpu[-1]} s)," \
         "sqlite3 ${theirs[-1]} s (CPU ${theirs_cpu[-1]} s)"
done

median() { printf '%s\n' "$@" | sort -g | sed -n 3p; }
m_ours=$(median "${ours[@]}")
m_theirs=$(median "${theirs[@]}")
pairs=()
for run in 0 1 2 3 4; do
    pairs+=("$(awk -v a="${ours[$run]}" -v b="${theirs[$run]}" 'BEGIN { printf "%.3f", a / b }')")
done
echo "median: tardesk-admin update $m_ours s, sqlite3 $m_theirs s, ratio $(awk -v a="$m_ours" -v b="$m_theirs" 'BEGIN { printf "%.3f", a / b }')"
echo "median of the pairs' ratios: $(median "${pairs[@]}")"
# On a busy machine the processor time says more than the clock.
echo "median CPU: tardesk-admin update $(median "${ours_cpu[@]}") s, sqlite3 $(median "${theirs_cpu[@]}") s"
echo "peak resident memory of tardesk-admin update: $((peak / 1024)) MB"
# The floor no loader can beat: reading import.txt once, from a warm cache.
floors=()
for run in 1 2 3 4 5; do
    start=$(now)
    cat "$work/input/import.txt" > /dev/null
    floors+=("$(awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.3f", a - b }')")
done
m_floor=$(median "${floors[@]}")
echo "reading import.txt once: $m_floor s; tardesk-admin update takes $(awk -v a="$m_ours" -v b="$m_floor" 'BEGIN { printf "%.1f", a / b }') times that"
# The name index's share of our file (dbstat counts each table's pages).
size=$(stat -c %s "$work/ours/Tardesk.mdb")
index=$(sqlite3 "$work/ours/Tardesk.mdb" "SELECT coalesce(sum(pgsize), 0) FROM dbstat WHERE name LIKE 'PART_NAME_%'")
echo "Tardesk.mdb: $((size / 1048576)) MB, of which the name index $((index / 1048576)) MB:" \
     "$(awk -v i="$index" -v s="$size" 'BEGIN { printf "%.1f", 100 * i / (s - i) }') % more than without it;" \
     "sqlite3's file: $(($(stat -c %s "$work/theirs/Tardesk.mdb") / 1048576)) MB"
