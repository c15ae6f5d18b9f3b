#!/usr/bin/env bash
# The throughput benchmark, run by hand (not part of CI or the tests).
#
#   bench/run.sh            # after `cmake --preset default && cmake --build build -j2`
#
# Generates the report sets once (deterministic, under $BENCH_DATA, default
# /tmp/salesum-bench), then times on the same files: salesum default and -v,
# the same aggregation in mawk, and the floor (wc -l, cat > /dev/null). Every
# command runs $BENCH_RUNS times (default 5); the median wall time is
# reported with the median CPU time (user + system) and the peak resident
# memory from /usr/bin/time -v. On a machine shared with other work the CPU
# times are the steadier figures, so the ratios are given for both. Finally
# it checks salesum's totals against mawk's and prints each target's verdict.
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
command -v bc >/dev/null || missing+=(bc)
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
# stdout to /dev/null; records the median wall and CPU seconds and the
# largest peak RSS.
declare -A seconds cpu memory
median() { sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
measure() {
    local name=$1 dir=$2
    shift 2
    local times=() cpus=() peak=0 i start end rss
    for ((i = 0; i < runs; i++)); do
        start=$EPOCHREALTIME
        (cd "$dir" && /usr/bin/time -v -o "$scratch/rusage" "$@" >/dev/null)
        end=$EPOCHREALTIME
        times+=("$(echo "$end - $start" | bc -l)")
        cpus+=("$(awk -F': ' '/User time|System time/ { sum += $2 } END { print sum }' "$scratch/rusage")")
        rss=$(awk '/Maximum resident set size/ { print $NF }' "$scratch/rusage")
        ((rss > peak)) && peak=$rss
    done
    seconds[$name]=$(printf '%s\n' "${times[@]}" | median)
    cpu[$name]=$(printf '%s\n' "${cpus[@]}" | median)
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
echo "runs: $runs each; median wall and CPU (user + system) time; peak RSS from /usr/bin/time -v"
echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)"
echo "sets: big $big_bytes bytes (2,000,000 lines); half $half_bytes bytes;" \
    "many $many_bytes bytes (1,000 files x 300 lines)"
echo
printf '| %-18s | %9s | %9s | %9s | %12s |\n' "set / command" "wall s" "CPU s" "MB/s wall" "peak RSS MB"
printf '|%s|%s|%s|%s|%s|\n' "--------------------" "-----------" "-----------" "-----------" \
    "--------------"
for name in "big salesum" "big salesum -v" "big mawk" "big wc -l" "big cat" "half salesum" \
    "many salesum" "many salesum -v" "many mawk" "many wc -l" "many cat"; do
    set=${name%% *}
    size=$([ $set = big ] && echo $big_bytes || ([ $set = half ] && echo $half_bytes || echo $many_bytes))
    printf '| %-18s | %9.3f | %9.2f | %9.0f | %12.1f |\n' "$name" "${seconds[$name]}" "${cpu[$name]}" \
        "$(echo "$size / ${seconds[$name]} / 1000000" | bc -l)" "$(echo "${memory[$name]} / 1024" | bc -l)"
done

ratio() { echo "$1 / $2" | bc -l; }
verdict() { if [ "$(echo "$1" | bc -l)" = 1 ]; then echo met; else echo MISSED; fi; }
memory_share=$(ratio "${memory[big salesum]}*1024" "$big_bytes")
echo
printf '%-34s %8s %8s  %s\n' "" wall CPU target
declare -A vs_mawk vs_wc growth many_vs_big many_vs_mawk many_vs_wc
for kind in wall CPU; do
    declare -n t=$([ $kind = wall ] && echo seconds || echo cpu)
    vs_mawk[$kind]=$(ratio "${t[big salesum]}" "${t[big mawk]}")
    vs_wc[$kind]=$(ratio "${t[big salesum]}" "${t[big wc -l]}")
    growth[$kind]=$(ratio "${t[big salesum]}" "${t[half salesum]}")
    many_vs_big[$kind]=$(ratio "(${t[many salesum]} * $big_bytes)" "(${t[big salesum]} * $many_bytes)")
    many_vs_mawk[$kind]=$(ratio "${t[many salesum]}" "${t[many mawk]}")
    many_vs_wc[$kind]=$(ratio "${t[many salesum]}" "${t[many wc -l]}")
    unset -n t
done
row() {  # label, array name, target expression (with x), target text
    declare -n values=$2
    printf '%-34s %8.3f %8.3f  %-8s wall %s, CPU %s\n' "$1" "${values[wall]}" "${values[CPU]}" "$4" \
        "$(verdict "${3//x/${values[wall]}}")" "$(verdict "${3//x/${values[CPU]}}")"
}
row "salesum / mawk (big)" vs_mawk "x <= 0.1" "<= 0.1"
row "salesum / wc -l (big)" vs_wc "x <= 6" "<= 6"
row "time(big) / time(half)" growth "x <= 2.2" "<= 2.2"
row "time per byte, many / big" many_vs_big "x <= 1.2" "<= 1.2"
printf '%-34s %8.3f %8.3f\n' "salesum / mawk (many)" "${many_vs_mawk[wall]}" "${many_vs_mawk[CPU]}"
printf '%-34s %8.3f %8.3f\n' "salesum / wc -l (many)" "${many_vs_wc[wall]}" "${many_vs_wc[CPU]}"
printf '%-34s %8.3f %8s  %-8s %s\n' "peak RSS / input size (big)" "$memory_share" "" "<= 0.5" \
    "$(verdict "$memory_share <= 0.5")"

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
