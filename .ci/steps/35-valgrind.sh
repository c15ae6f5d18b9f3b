#!/usr/bin/env bash
# Runs the end-to-end suite with every program run under valgrind memcheck
# (about a minute): any memory error or leak fails the step.
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=.ci/install_packages.sh
source .ci/install_packages.sh
if ! command -v valgrind >/dev/null; then
    installPackages valgrind
fi
bash tests/valgrind.sh
echo "valgrind step: ${SECONDS} s"
