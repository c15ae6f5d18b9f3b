#!/usr/bin/env bash
# Checks that two builds of salesum print byte-identical output, standard
# error and exit status on the benchmark's report sets (the many-files set,
# the big report, its gzip copy and its copy in today's layout): default, -v
# and -v -v, with and without a date window, with rates, and as JSON, in UTC
# and in America/New_York.
#
#   bench/compare_outputs.sh OLD_BINARY NEW_BINARY
#
# Uses the sets under $BENCH_DATA (default /tmp/salesum-bench; bench/run.sh
# generates them, the gz set included). Output goes through cmp, so nothing large is kept.
set -euo pipefail
old=$(realpath "$1")
new=$(realpath "$2")
data=${BENCH_DATA:-/tmp/salesum-bench}
status=0
rates=$(mktemp)
trap 'rm -f "$rates"' EXIT
printf 'EUR = 1.2697\nGBP = 1,5\nJPY = 0.0102\n' >"$rates"
run() {  # program, set, zone, options...: its standard output, status and standard error
    local err
    err=$(mktemp)
    (cd "$data/$2" && TZ=$3 "$1" "${@:4}" 2>"$err" || echo "status $?")
    sed "s|^\(\[[EW]\] \)$1:|\1salesum:|" "$err"  # the two builds' paths differ
    rm -f "$err"
}
for zone in UTC America/New_York; do
    for set in many big gz current; do
        pattern=$([ $set = many ] && echo 'S_D*' || echo 'S_W*')
        for options in "" "-v" "-v -v" "-s 20090101 -e 20100301" "-v -s 07/01/2009" \
            "-c $rates" "-j -c $rates" "-j -v -s 20090101"; do
            # shellcheck disable=SC2086 # the options are split on purpose
            if cmp -s <(run "$old" $set $zone $options "$pattern") \
                <(run "$new" $set $zone $options "$pattern"); then
                echo "same:    TZ=$zone $set $options"
            else
                echo "DIFFERS: TZ=$zone $set $options"
                status=1
            fi
        done
    done
done
exit $status
