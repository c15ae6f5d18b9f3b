# Sourced by the CI steps in .ci/steps/ that need clang with its sanitizer and libFuzzer
# runtimes: installs them when a trial build shows they are missing.

# shellcheck source=.ci/install_packages.sh
source "$(dirname "${BASH_SOURCE[0]}")/install_packages.sh"

ensureClangSanitizers() {
    local probe
    probe="$(mktemp -d)"
    printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }\n' \
        >"${probe}/probe.cpp"
    if ! clang++ -fsanitize=fuzzer,address,undefined "${probe}/probe.cpp" -o "${probe}/probe" \
        >/dev/null 2>&1; then
        installPackages clang libclang-rt-dev
    fi
    rm -rf "${probe}"
}
