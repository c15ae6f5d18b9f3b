#!/usr/bin/env bash
# The throughput benchmark, run by hand (not part of CI or the tests).
#
#   bench/run.sh            # after `cmake --preset default && cmake --build build -j2`
#
# Generates the report sets once (deterministic, under $BENCH_DATA, default
# /tmp/salesum-bench), then times on the same files: salesum default and -v,
# the same aggregation in mawk, and the floor (wc -l, cat > /dev/null); on a
# gzip copy of the big report, salesum and `gzip -dc`; on a copy of its
# records in the current layout (read by name), salesum default and -v. Every command runs
# $BENCH_RUNS times (default 5); the median wall time is reported with the
# median CPU time (user + system) and the peak resident memory. Wall and CPU
# times come from `perf stat -e task-clock` where perf works (CPU to the
# microsecond: the many-files runs take a few tens of milliseconds), else
# from /usr/bin/time -v, which also gives the peak memory in one more run.
# On a machine shared with other work the CPU times are the steadier
# figures, so the ratios are given for both. Finally it checks salesum's
# totals against mawk's and prints each target's verdict.
# $SALESUM overrides the program under test (default build/salesum).
# $BASELINE names a build to compare -v with (the target is half its time);
# without it that ratio is not computed.
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
command -v gzip >/dev/null || missing+=(gzip)
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi
[ -x "$salesum" ] || { echo "no program at $salesum: build it first" >&2; exit 1; }
if [ ! -f "$data/big/S_W_big.txt" ] || [ ! -f "$data/half/S_W_half.txt" ] ||
    [ ! -d "$data/many" ]; then
    echo "generating report sets under $data ..."
    python3 "$root/bench/generate_reports.py" "$data" all
fi
if [ ! -f "$data/current/S_W_current.txt" ]; then
    echo "writing the big report's records in the current layout into $data/current ..."
    python3 "$root/bench/generate_reports.py" "$data" current
fi
if [ ! -f "$data/gz/S_W_big.txt.gz" ]; then
    echo "compressing the big report into $data/gz ..."
    mkdir -p "$data/gz"
    gzip -6 -n -c "$data/big/S_W_big.txt" >"$data/gz/S_W_big.txt.gz.part"
    mv "$data/gz/S_W_big.txt.gz.part" "$data/gz/S_W_big.txt.gz"
fi
perf_works=0
perf stat -e task-clock -o /dev/null true 2>/dev/null && perf_works=1
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
        if ((perf_works)); then
            (cd "$dir" && perf stat -e task-clock -o "$scratch/stat" "$@" >/dev/null)
            times+=("$(awk '/ seconds time elapsed/ { print $1 }' "$scratch/stat")")
            cpus+=("$(awk '/task-clock/ { gsub(",", "", $1); print $1 / 1000 }' "$scratch/stat")")
            continue
        fi
        start=$EPOCHREALTIME
        (cd "$dir" && /usr/bin/time -v -o "$scratch/rusage" "$@" >/dev/null)
        end=$EPOCHREALTIME
        times+=("$(echo "$end - $start" | bc -l)")
        cpus+=("$(awk -F': ' '/User time|System time/ { sum += $2 } END { print sum }' "$scratch/rusage")")
        rss=$(awk '/Maximum resident set size/ { print $NF }' "$scratch/rusage")
        ((rss > peak)) && peak=$rss
    done
    if ((perf_works)); then
        (cd "$dir" && /usr/bin/time -v -o "$scratch/rusage" "$@" >/dev/null)
        peak=$(awk '/Maximum resident set size/ { print $NF }' "$scratch/rusage")
    fi
    seconds[$name]=$(printf '%s\n' "${times[@]}" | median)
    cpu[$name]=$(printf '%s\n' "${cpus[@]}" | median)
    memory[$name]=$peak
}

bytes() { cat "$@" | wc -c; }
big_bytes=$(bytes "$data"/big/S_W_*)
half_bytes=$(bytes "$data"/half/S_W_*)
many_bytes=$(bytes "$data"/many/S_D_*)
gz_bytes=$(bytes "$data"/gz/S_W_big.txt.gz)
current_bytes=$(bytes "$data"/current/S_W_*)
cat "$data"/big/* "$data"/half/* "$data"/many/* "$data"/gz/* "$data"/current/* >/dev/null  # warm the page cache

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
measure "current salesum" "$data/current" "$salesum" 'S_W*'
measure "current salesum -v" "$data/current" "$salesum" -v 'S_W*'
measure "gz salesum" "$data/gz" "$salesum" 'S_W*'
measure "gz gzip -dc" "$data/gz" gzip -dc S_W_big.txt.gz
if [ -n "${BASELINE:-}" ]; then
    measure "big baseline -v" "$data/big" "$BASELINE" -v 'S_W*'
fi

echo
echo "runs: $runs each; median wall and CPU (user + system) time" \
    "($( ((perf_works)) && echo "perf stat -e task-clock" || echo "/usr/bin/time -v")); peak RSS from /usr/bin/time -v"
echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)"
echo "sets: big $big_bytes bytes (2,000,000 lines); half $half_bytes bytes;" \
    "many $many_bytes bytes (1,000 files x 300 lines); gz $gz_bytes bytes (the big report, gzip -6)"
echo
printf '| %-18s | %9s | %9s | %9s | %12s |\n' "set / command" "wall s" "CPU s" "MB/s wall" "peak RSS MB"
printf '|%s|%s|%s|%s|%s|\n' "--------------------" "-----------" "-----------" "-----------" \
    "--------------"
names=("big salesum" "big salesum -v" "big mawk" "big wc -l" "big cat" "half salesum"
    "many salesum" "many salesum -v" "many mawk" "many wc -l" "many cat" "current salesum"
    "current salesum -v" "gz salesum" "gz gzip -dc")
[ -n "${BASELINE:-}" ] && names+=("big baseline -v")
declare -A set_bytes=([big]=$big_bytes [half]=$half_bytes [many]=$many_bytes [gz]=$big_bytes
    [current]=$current_bytes)
for name in "${names[@]}"; do
    set=${name%% *}
    size=${set_bytes[$set]}  # the gz set's rate is of the bytes decompressed
    printf '| %-18s | %9.3f | %9.3f | %9.0f | %12.1f |\n' "$name" "${seconds[$name]}" "${cpu[$name]}" \
        "$(echo "$size / ${seconds[$name]} / 1000000" | bc -l)" "$(echo "${memory[$name]} / 1024" | bc -l)"
done

ratio() { echo "$1 / $2" | bc -l; }
verdict() { if [ "$(echo "$1" | bc -l)" = 1 ]; then echo met; else echo MISSED; fi; }
memory_share=$(ratio "${memory[big salesum]}*1024" "$big_bytes")
listing_share=$(ratio "${memory[big salesum -v]}*1024" "$big_bytes")
echo
printf '%-34s %8s %8s  %s\n' "" wall CPU target
declare -A vs_mawk vs_wc growth many_vs_big many_vs_mawk many_vs_wc gz_vs_gzip listing_vs_base
declare -A current_vs_big current_listing_vs_big
for kind in wall CPU; do
    declare -n t=$([ $kind = wall ] && echo seconds || echo cpu)
    vs_mawk[$kind]=$(ratio "${t[big salesum]}" "${t[big mawk]}")
    vs_wc[$kind]=$(ratio "${t[big salesum]}" "${t[big wc -l]}")
    growth[$kind]=$(ratio "${t[big salesum]}" "${t[half salesum]}")
    many_vs_big[$kind]=$(ratio "(${t[many salesum]} * $big_bytes)" "(${t[big salesum]} * $many_bytes)")
    many_vs_mawk[$kind]=$(ratio "${t[many salesum]}" "${t[many mawk]}")
    many_vs_wc[$kind]=$(ratio "${t[many salesum]}" "${t[many wc -l]}")
    gz_vs_gzip[$kind]=$(ratio "${t[gz salesum]}" "${t[gz gzip -dc]}")
    current_vs_big[$kind]=$(ratio "(${t[current salesum]} * $big_bytes)" "(${t[big salesum]} * $current_bytes)")
    current_listing_vs_big[$kind]=$(ratio "(${t[current salesum -v]} * $big_bytes)" \
        "(${t[big salesum -v]} * $current_bytes)")
    if [ -n "${BASELINE:-}" ]; then
        listing_vs_base[$kind]=$(ratio "${t[big salesum -v]}" "${t[big baseline -v]}")
    fi
    unset -n t
done
row() {  # label, array name, target expression (with x), target text
    declare -n values=$2
    printf '%-34s %8.3f %8.3f  %-8s wall %s, CPU %s\n' "$1" "${values[wall]}" "${values[CPU]}" "$4" \
        "$(verdict "${3//x/${values[wall]}}")" "$(verdict "${3//x/${values[CPU]}}")"
}
row "salesum / wc -l (big)" vs_wc "x <= 4" "<= 4"
row "salesum / mawk (big)" vs_mawk "x <= 1/15" "<= 1/15"
if [ -n "${BASELINE:-}" ]; then
    row "salesum -v / baseline -v (big)" listing_vs_base "x <= 0.5" "<= 0.5"
fi
row "time per byte, many / big" many_vs_big "x <= 1.15" "<= 1.15"
row "salesum / gzip -dc (gz)" gz_vs_gzip "x <= 1.5" "<= 1.5"
row "time per byte, current / big" current_vs_big "x <= 1.15" "<= 1.15"
printf '%-34s %8.3f %8.3f\n' "time per byte -v, current / big" "${current_listing_vs_big[wall]}" \
    "${current_listing_vs_big[CPU]}"
row "time(big) / time(half)" growth "x <= 2.2" "<= 2.2"
printf '%-34s %8.3f %8.3f\n' "salesum / mawk (many)" "${many_vs_mawk[wall]}" "${many_vs_mawk[CPU]}"
printf '%-34s %8.3f %8.3f\n' "salesum / wc -l (many)" "${many_vs_wc[wall]}" "${many_vs_wc[CPU]}"
printf '%-34s %8.3f %8s  %-8s %s\n' "peak RSS / input size (big)" "$memory_share" "" "<= 0.5" \
    "$(verdict "$memory_share <= 0.5")"
printf '%-34s %8.3f %8s  %-8s %s\n' "peak RSS -v / input size (big)" "$listing_share" "" "<= 0.2" \
    "$(verdict "$listing_share <= 0.2")"

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
# The current-layout copy holds the same records: the same tables.
if cmp -s <(cd "$data/big" && "$salesum" 'S_W*') <(cd "$data/current" && "$salesum" 'S_W*'); then
    echo "output (current): the same as the big report's"
else
    echo "output (current): DIFFERS from the big report's"
    status=1
fi
# The compressed copy must give the very same tables as the report itself.
if cmp -s <(cd "$data/big" && "$salesum" 'S_W*') <(cd "$data/gz" && "$salesum" 'S_W*'); then
    echo "output (gz): the same as the big report's"
else
    echo "output (gz): DIFFERS from the big report's"
    status=1
fi
exit $status
