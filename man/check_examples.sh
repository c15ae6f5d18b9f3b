#!/usr/bin/env bash
# Checks that the manual's example output is what the program prints.
#
#   man/check_examples.sh [MANPAGE] [SALESUM]
#
# In the manual, a comment line '.\" output of: DIR: COMMAND' names the
# literal block (.Bd ... .Ed) that follows it. DIR is 'examples' (the bundled
# examples/ directory) or 'worked' (a scratch directory holding the sample
# report and rate file that the OUTPUT section describes). COMMAND runs there
# with TZ=UTC unless it sets TZ itself, and 'salesum' on the PATH, so that the
# program name it prints is the installed one's.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
manpage="${1:-$root/man/salesum.1}"
program="$(realpath "${2:-$root/build/salesum}")"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/bin" "$scratch/worked" "$scratch/blocks"
ln -s "$program" "$scratch/bin/salesum"

# The OUTPUT section's report: 23 TAB-separated columns, CR-LF line ends, all
# records for 1 to 30 November 2008.
record() {  # application type units amount-per-unit currency text second-amount
    printf 'STORE\tUS\t2001\t \t \tExample Dev\t%s\t \t%s\t%s\t%s\t11/01/2008\t11/30/2008\t' \
        "$1" "$2" "$3" "$4"
    printf '%s\t%s\t%s\t \t \t \t300000001\t%s\t \t \r\n' "$5" "$6" "$5" "$7"
}
{
    printf 'Provider'
    for column in $(seq 1 22); do printf '\tColumn %s' "$column"; done
    printf '\r\n'
    record Alpha 1 3 0.49 EUR GB 0.99
    record Alpha 1 10 0.70 USD US 0.99
    record Gamma 7 4 0.00 USD US 0.00
    record ZetaPro 1 1 0.70 USD US 0.99
    record Alpha 7 2 0.00 USD US 0.00
    record Alpha 1 1 0.49 EUR DE 0.99
    record ZetaPro 7 5 0.00 USD CA 0.00
} >"$scratch/worked/S_W_20081130.txt"
printf 'EUR = 1.25\n' >"$scratch/worked/rates.cfg"

# Split the manual into numbered blocks: N.where, N.command, N.expected.
awk -v out="$scratch/blocks" '
    /^\.\\" output of: / {
        text = substr($0, length(".\\\" output of: ") + 1)
        split_at = index(text, ": ")
        n++
        print substr(text, 1, split_at - 1) > (out "/" n ".where")
        print substr(text, split_at + 2) > (out "/" n ".command")
        close(out "/" n ".where"); close(out "/" n ".command")
        waiting = 1
        next
    }
    waiting && /^\.Bd / { waiting = 0; inside = 1; printf "" > (out "/" n ".expected"); next }
    inside && /^\.Ed/ { inside = 0; close(out "/" n ".expected"); next }
    inside { print > (out "/" n ".expected") }
' "$manpage"

passed=0
failed=0
for where_file in "$scratch"/blocks/*.where; do
    block="${where_file%.where}"
    where="$(cat "$where_file")"
    command="$(cat "$block.command")"
    case "$where" in
        examples) directory="$root/examples" ;;
        worked) directory="$scratch/worked" ;;
        *) echo "unknown directory '$where' for: $command" >&2; failed=$((failed + 1)); continue ;;
    esac
    if (cd "$directory" && PATH="$scratch/bin:$PATH" TZ=UTC eval "$command") >"$block.actual" &&
        diff -u --label "manual: $command" --label "program: $command" \
            "$block.expected" "$block.actual"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
    fi
done
echo "manual examples: $passed passed, $failed failed"
# A manual without any checked block means the markers were lost.
[ "$passed" -gt 0 ] && [ "$failed" -eq 0 ]
