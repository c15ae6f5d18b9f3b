#!/bin/sh
# Names each test of the last ctest run that skipped itself, with the reason
# it gave: ctest itself only marks such a test "Skipped". ctest runs this
# after the tests (CTestCustom.cmake in the build tree, written by
# tests/CMakeLists.txt). It never fails the run.
#
#   sh tests/skipped_tests.sh build/Testing/Temporary/LastTest.log
log="$1"
# While ctest runs, the log of this run is still being written as LOG.tmp.
# LOG itself then holds the run before, ended by "End testing": never list
# that one's skips as this run's.
if [ -f "${log}.tmp" ]; then
    log="${log}.tmp"
elif [ ! -f "${log}" ] || grep -q '^End testing' "${log}"; then
    exit 0
fi
awk '
/^\[ RUN      \] / { test = substr($0, 14) }
/: Skipped$/ { getline reason; skipped[++count] = "  " test ": " reason }
END {
    if (count > 0) {
        print "Tests that skipped themselves, and why:"
        for (i = 1; i <= count; ++i) print skipped[i]
    }
}' "${log}"
exit 0
