#!/usr/bin/env bash
# Runs the end-to-end suite with every run of the program under valgrind
# memcheck. Any memory error or leak makes that run exit with status 99 and
# print valgrind's report on standard error, which fails the test.
#
#   tests/valgrind.sh [extra arguments for e2e_tests, e.g. --gtest_filter=Golden/*]
#
# Uses the default (unsanitized) build in build/, building it first.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v valgrind >/dev/null || { echo "valgrind is not installed (apt-get install valgrind)"; exit 2; }
cmake --preset default >/dev/null
cmake --build build -j2

# The wrapper is handed the program's path first (a copy of it, where a test
# runs it as another user). It runs the program through PATH by its bare
# name, so that the program still sees "salesum" as its name and prints the
# same messages as when it runs on its own.
wrapperDir="$(mktemp -d)"
trap 'rm -rf "${wrapperDir}"' EXIT
# Some tests run the program as another user, who must reach the wrapper.
chmod 755 "${wrapperDir}"
cat >"${wrapperDir}/memcheck" <<'WRAPPER'
#!/bin/sh
program="$1"
shift
PATH="$(dirname "${program}"):${PATH}" exec valgrind -q --tool=memcheck --error-exitcode=99 \
    --leak-check=full --show-leak-kinds=definite,indirect,possible \
    --errors-for-leak-kinds=definite,indirect,possible "$(basename "${program}")" "$@"
WRAPPER
chmod +x "${wrapperDir}/memcheck"

SALESUM_WRAPPER="${wrapperDir}/memcheck" SALESUM_BINARY="$(pwd)/build/salesum" build/tests/e2e_tests "$@"
