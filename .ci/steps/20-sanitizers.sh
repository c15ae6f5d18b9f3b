#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang++) and runs the whole test suite, unit and end-to-end, against that
# build. Sanitized code aborts on its first finding, so any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/../.."

# shellcheck source=.ci/clang_toolchain.sh
source .ci/clang_toolchain.sh
ensureClangSanitizers

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
cmake --workflow --preset asan --fresh
echo "sanitizer build and tests: ${SECONDS} s"
