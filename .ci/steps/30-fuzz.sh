#!/usr/bin/env bash
# Fuzz smoke: builds the libFuzzer harnesses (ASan and UBSan on) and runs each
# for a bounded time, starting from its seed corpus in fuzz/corpus/. Any crash,
# leak, sanitizer report, failed check or slow input fails the run; the input
# is kept in build-fuzz/findings/ and dumped into the log.
set -euo pipefail
cd "$(dirname "$0")/../.."

# shellcheck source=.ci/clang_toolchain.sh
source .ci/clang_toolchain.sh
ensureClangSanitizers

secondsEach="${FUZZ_SECONDS:-30}"
cmake --workflow --preset fuzz --fresh

# New inputs go to scratch, never into the seed corpus of the source tree.
scratch="$(mktemp -d)"
trap 'rm -rf "${scratch}"' EXIT
findings="build-fuzz/findings"
rm -rf "${findings}"
mkdir -p "${findings}"
failed=0
for harness in build-fuzz/fuzz/*_fuzzer; do
    surface="$(basename "${harness}" _fuzzer)"
    mkdir -p "${scratch}/${surface}"
    log="${scratch}/${surface}.log"
    if "${harness}" -max_total_time="${secondsEach}" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="${findings}/${surface}-" \
        "${scratch}/${surface}" "fuzz/corpus/${surface}" >"${log}" 2>&1; then
        echo "${surface}: $(grep -o 'number_of_executed_units: [0-9]*' "${log}" | cut -d' ' -f2) runs, no finding"
    else
        echo "${surface}: FAILED"
        tail -n 60 "${log}"
        for input in "${findings}/${surface}-"*; do
            [ -e "${input}" ] || continue
            echo "input ${input}:"
            od -A d -c "${input}" | head -n 40
        done
        failed=1
    fi
done
echo "fuzz build and runs: ${SECONDS} s"
exit "${failed}"
