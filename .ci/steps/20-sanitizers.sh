#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang++) and runs the whole test suite, unit and end-to-end, against that
# build. Sanitized code aborts on its first finding, so any report fails the
# run. The sanitizer options are set in one place, the asan test preset in
# CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/../.."

# shellcheck source=.ci/clang_toolchain.sh
source .ci/clang_toolchain.sh
ensureClangSanitizers

cmake --workflow --preset asan --fresh
echo "sanitizer build and tests: ${SECONDS} s"
