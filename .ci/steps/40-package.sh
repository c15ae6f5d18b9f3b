#!/usr/bin/env bash
# The manual and the Debian package: the manual lints clean and its example
# output is the program's real output; the package builds with CPack, holds
# the program, the manual, the licence and the changelog, carries the control
# fields it should, and lintian finds no error in it.
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=.ci/install_packages.sh
source .ci/install_packages.sh

missing=()
command -v mandoc >/dev/null || missing+=(mandoc)
command -v dpkg-shlibdeps >/dev/null || missing+=(dpkg-dev)
command -v gzip >/dev/null || missing+=(gzip)
command -v lintian >/dev/null || missing+=(lintian)
if [ ${#missing[@]} -gt 0 ]; then
    installPackages "${missing[@]}"
fi

echo "-- mandoc -Tlint man/salesum.1"
# The pages SEE ALSO names are looked up in the machine's manual database,
# which a build machine may lack or never have indexed: those messages say
# nothing about this manual.
lint="$(mandoc -Tlint -W all man/salesum.1 2>&1 |
    grep -v -e 'mandoc.db lacks' -e 'referenced manual not found')" || true
if [ -n "$lint" ]; then
    echo "$lint"
    echo "the manual has lint messages" >&2
    exit 1
fi

echo "-- manual examples against build/salesum"
[ -f build/CMakeCache.txt ] || cmake --preset default
cmake --build build -j2 --target salesum
man/check_examples.sh man/salesum.1 build/salesum

echo "-- cmake --workflow --preset package"
rm -f build-package/salesum_*.deb
cmake --workflow --preset package --fresh
version="$(sed -n 's/^project(salesum VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
deb="build-package/salesum_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no package $deb" >&2; ls build-package >&2; exit 1; }

echo "-- dpkg-deb --contents $deb"
contents="$(dpkg-deb --contents "$deb")"
echo "$contents"
for path in ./usr/bin/salesum ./usr/share/man/man1/salesum.1.gz \
    ./usr/share/doc/salesum/copyright ./usr/share/doc/salesum/changelog.gz; do
    grep -q " ${path}\$" <<<"$contents" || { echo "missing from the package: $path" >&2; exit 1; }
done

echo "-- dpkg-deb -I $deb"
dpkg-deb -I "$deb"
field() { dpkg-deb -f "$deb" "$1"; }
expect() {  # field value
    [ "$(field "$1")" = "$2" ] || { echo "field $1 is '$(field "$1")', not '$2'" >&2; exit 1; }
}
expect Package salesum
expect Version "$version"
expect Section utils
expect Architecture "$(dpkg --print-architecture)"
grep -q '<.*@.*>' <<<"$(field Maintainer)" || { echo "Maintainer has no address" >&2; exit 1; }
grep -qx 'summarise application sales reports' <<<"$(field Description)" ||
    { echo "Description lacks its summary line" >&2; exit 1; }
# dpkg-shlibdeps derived the runtime dependencies from the binary.
grep -q 'libc6 (>= ' <<<"$(field Depends)" || { echo "Depends lacks libc6: $(field Depends)" >&2; exit 1; }

# The packaged manual is the one in the tree, and the packaged program runs.
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
zcat "$unpacked/usr/share/man/man1/salesum.1.gz" | cmp - man/salesum.1
cmp "$unpacked/usr/share/doc/salesum/copyright" LICENSE
# The changelog's newest entry is the version being packaged.
latest="$(zcat "$unpacked/usr/share/doc/salesum/changelog.gz" | sed -n 1p)"
[[ "$latest" == "salesum ($version) "* ]] ||
    { echo "cmake/debian/changelog starts with '$latest', not version $version" >&2; exit 1; }
usage="$(cd "$unpacked/usr/bin" && PATH=. salesum -h)"
first_line="${usage%%$'\n'*}"
[ "$first_line" = "salesum v $version" ] || { echo "packaged salesum -h: '$first_line'" >&2; exit 1; }
echo "package $deb checked"

echo "-- lintian $deb"
# Errors fail the step; warnings and notes are shown.
lintian --fail-on error "$deb"
echo "package $deb passes lintian"
