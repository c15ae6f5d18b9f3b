#!/usr/bin/env bash
# The throughput benchmark, run by hand (not part of CI or the tests).
#
#   bench/run.sh            # after `cmake --preset default && cmake --build build -j2`
#
# Generates the report sets once (deterministic, under $BENCH_DATA, default
# /tmp/salesum-bench), then times on the same files: salesum default and -v,
# the same aggregation in mawk, and the floor (wc -l, cat > /dev/null). Every
# command runs $BENCH_RUNS times (default 5); the median wall time is
# reported with the peak resident memory from /usr/bin/time -v. Finally it
# checks salesum's totals against mawk's and prints each target's verdict.
# $SALESUM overrides the program under test (default build/salesum).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
salesum=${SALESUM:-$root/build/salesum}
data=${BENCH_DATA:-/tmp/salesum-bench}
runs=${BENCH_RUNS:-5}
export LC_ALL=C TZ=UTC

missing=()
command -v mawk >/dev/null || missing+=(mawk)
[ -x /usr/bin/time ] || missing+=(time)
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update -q && apt-get install -y -q "${missing[@]}"
fi
[ -x "$salesum" ] || { echo "no program at $salesum: build it first" >&2; exit 1; }
if [ ! -f "$data/big/S_W_big.txt" ] || [ ! -f "$data/half/S_W_half.txt" ] ||
    [ ! -d "$data/many" ]; then
    echo "generating report sets under $data ..."
    python3 "$root/bench/generate_reports.py" "$data" all
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# measure NAME DIRECTORY COMMAND...: runs the command in the directory with
# stdout to /dev/null; records the median seconds and the largest peak RSS.
declare -A seconds memory
measure() {
    local name=$1 dir=$2
    shift 2
    local times=() peak=0 i start end rss
    for ((i = 0; i < runs; i++)); do
        start=$EPOCHREALTIME
        (cd "$dir" && /usr/bin/time -v -o "$scratch/rusage" "$@" >/dev/null)
        end=$EPOCHREALTIME
        times+=("$(echo "$end - $start" | bc -l)")
        rss=$(awk '/Maximum resident set size/ { print $NF }' "$scratch/rusage")
        ((rss > peak)) && peak=$rss
    done
    seconds[$name]=$(printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }')
    memory[$name]=$peak
}

bytes() { cat "$@" | wc -c; }
big_bytes=$(bytes "$data"/big/S_W_*)
half_bytes=$(bytes "$data"/half/S_W_*)
many_bytes=$(bytes "$data"/many/S_D_*)
cat "$data"/big/* "$data"/half/* "$data"/many/* >/dev/null  # warm the page cache

for set in big half many; do
    dir=$data/$set
    pattern=$([ $set = many ] && echo 'S_D*' || echo 'S_W*')
    files=("$dir"/${pattern%\*}*)
    measure "$set salesum" "$dir" "$salesum" "$pattern"
    [ $set = half ] && continue
    measure "$set salesum -v" "$dir" "$salesum" -v "$pattern"
    measure "$set mawk" "$dir" mawk -F'\t' -f "$root/bench/aggregate.awk" "${files[@]}"
    measure "$set wc -l" "$dir" wc -l "${files[@]}"
    measure "$set cat" "$dir" cat "${files[@]}"
done

echo
echo "runs: $runs each, median wall time; peak RSS from /usr/bin/time -v"
echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)"
echo "sets: big $big_bytes bytes (2,000,000 lines); half $half_bytes bytes;" \
    "many $many_bytes bytes (1,000 files x 300 lines)"
echo
printf '| %-18s | %9s | %9s | %12s |\n' "set / command" "median s" "MB/s" "peak RSS MB"
printf '|%s|%s|%s|%s|\n' "--------------------" "-----------" "-----------" "--------------"
for name in "big salesum" "big salesum -v" "big mawk" "big wc -l" "big cat" "half salesum" \
    "many salesum" "many salesum -v" "many mawk" "many wc -l" "many cat"; do
    set=${name%% *}
    size=$([ $set = big ] && echo $big_bytes || ([ $set = half ] && echo $half_bytes || echo $many_bytes))
    printf '| %-18s | %9.3f | %9.0f | %12.1f |\n' "$name" "${seconds[$name]}" \
        "$(echo "$size / ${seconds[$name]} / 1000000" | bc -l)" "$(echo "${memory[$name]} / 1024" | bc -l)"
done

ratio() { echo "$1 / $2" | bc -l; }
verdict() { if [ "$(echo "$1" | bc -l)" = 1 ]; then echo met; else echo MISSED; fi; }
big=${seconds[big salesum]}
vs_mawk=$(ratio "$big" "${seconds[big mawk]}")
vs_wc=$(ratio "$big" "${seconds[big wc -l]}")
growth=$(ratio "$big" "${seconds[half salesum]}")
per_byte_big=$(ratio "$big" "$big_bytes")
per_byte_many=$(ratio "${seconds[many salesum]}" "$many_bytes")
many_vs_big=$(ratio "$per_byte_many" "$per_byte_big")
memory_share=$(ratio "${memory[big salesum]}*1024" "$big_bytes")
echo
printf 'salesum / mawk (big):            %6.3f  target <= 0.100  %s\n' "$vs_mawk" "$(verdict "$vs_mawk <= 0.1")"
printf 'salesum / wc -l (big):           %6.2f  target <= 6      %s\n' "$vs_wc" "$(verdict "$vs_wc <= 6")"
printf 'peak RSS / input size (big):     %6.3f  target <= 0.5    %s\n' "$memory_share" "$(verdict "$memory_share <= 0.5")"
printf 'time(big) / time(half):          %6.2f  target <= 2.2    %s\n' "$growth" "$(verdict "$growth <= 2.2")"
printf 'time per byte, many / big:       %6.2f  target <= 1.2    %s\n' "$many_vs_big" "$(verdict "$many_vs_big <= 1.2")"
printf 'salesum / mawk (many):           %6.3f\n' "$(ratio "${seconds[many salesum]}" "${seconds[many mawk]}")"
printf 'salesum / wc -l (many):          %6.2f\n' "$(ratio "${seconds[many salesum]}" "${seconds[many wc -l]}")"

# The totals: salesum's tables turned into mawk's lines, then compared.
status=0
for set in big many; do
    dir=$data/$set
    pattern=$([ $set = many ] && echo 'S_D*' || echo 'S_W*')
    (cd "$dir" && "$salesum" "$pattern") | mawk -f "$root/bench/salesum_totals.awk" | sort >"$scratch/salesum"
    (cd "$dir" && mawk -F'\t' -f "$root/bench/aggregate.awk" ${pattern%\*}*) | sort >"$scratch/mawk"
    if cmp -s "$scratch/salesum" "$scratch/mawk" && [ -s "$scratch/mawk" ]; then
        echo "totals ($set): salesum equals mawk ($(wc -l <"$scratch/mawk") lines)"
    else
        echo "totals ($set): salesum DIFFERS from mawk"
        diff "$scratch/salesum" "$scratch/mawk" | head -5
        status=1
    fi
done
exit $status
