#!/usr/bin/env bash
# The Windows build: cross-build salesum.exe with mingw-w64 and run the
# end-to-end suite (built natively in build/) against it under Wine.
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=.ci/install_packages.sh
source .ci/install_packages.sh

missing=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null ||
    command -v x86_64-w64-mingw32-g++ >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
command -v wine >/dev/null || missing+=(wine)
[ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
# zlib for the Windows program, linked statically.
[ -f /usr/x86_64-w64-mingw32/lib/libz.a ] || missing+=(libz-mingw-w64-dev)
# The build machine's utf8proc, from which the width table compiled into the
# Windows program is written (a tool built for this machine writes it).
[ -f /usr/include/utf8proc.h ] || missing+=(libutf8proc-dev)
if [ ${#missing[@]} -gt 0 ]; then
    start=$SECONDS
    installPackages --no-install-recommends "${missing[@]}"
    echo "installed in $((SECONDS - start)) s"
fi

echo "-- cmake --preset windows"
cmake --preset windows --fresh
cmake --build build-windows -j2
objdump="$(command -v x86_64-w64-mingw32-objdump || echo objdump)"
if "$objdump" -p build-windows/salesum.exe | grep -i 'DLL Name' | grep -viE 'kernel32|msvcrt'; then
    echo "salesum.exe needs DLLs beyond the system's" >&2
    exit 1
fi

echo "-- end-to-end suite"
[ -f build/CMakeCache.txt ] || cmake --preset default
cmake --build build -j2 --target e2e_tests

# A prefix of our own, made once; the server stays up between the many short
# runs and goes when the step ends.
export WINEPREFIX="$PWD/build-windows/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
start=$SECONDS
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k || true' EXIT
wineboot -i >/dev/null 2>&1
echo "wine prefix ready in $((SECONDS - start)) s"

SALESUM_TARGET=windows SALESUM_BINARY="$PWD/build-windows/salesum.exe" SALESUM_WRAPPER=wine \
    ctest --test-dir build -L e2e -j2 --output-on-failure --no-tests=error
