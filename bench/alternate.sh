#!/usr/bin/env bash
# Compares the CPU time of two builds on one command, in alternated runs so
# that a change in the machine's load falls on both alike.
#
#   bench/alternate.sh OLD NEW DIRECTORY ARGUMENT...
#
# Runs OLD and NEW by turns $RUNS times each (default 11) in DIRECTORY with
# the arguments, standard output to /dev/null, and prints the median CPU
# seconds (user + system, from perf stat's task-clock) of each and NEW/OLD,
# then the median of the pairs' ratios (each NEW run over the OLD run just
# before it) with its quartiles, which a drift in load moves less.
set -euo pipefail
old=$1 new=$2 dir=$3
shift 3
runs=${RUNS:-11}
export LC_ALL=C TZ=UTC
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpu() {  # program: CPU seconds of one run
    (cd "$dir" && perf stat -e task-clock -o "$scratch/stat" "$1" "${@:2}" >/dev/null)
    awk '/task-clock/ { gsub(",", "", $1); print $1 / 1000 }' "$scratch/stat"
}
median() { sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
for ((i = 0; i < runs; i++)); do
    cpu "$old" "$@" >>"$scratch/old"
    cpu "$new" "$@" >>"$scratch/new"
done
o=$(median <"$scratch/old")
n=$(median <"$scratch/new")
printf '%s: old %.4f s, new %.4f s CPU (medians of %d), new/old %.3f\n' "$*" "$o" "$n" "$runs" \
    "$(echo "$n / $o" | bc -l)"
paste "$scratch/old" "$scratch/new" | awk '{ print $2 / $1 }' | sort -g | awk '
    { r[NR] = $1 }
    END { printf "pair ratios: median %.3f, quartiles [%.3f, %.3f]\n",
          r[int((NR + 1) / 2)], r[int((NR + 3) / 4)], r[int((3 * NR + 1) / 4)] }'
