# Sourced by the CI steps in .ci/steps/ that need clang with its sanitizer and libFuzzer
# runtimes: installs them when a trial build shows they are missing.
ensureClangSanitizers() {
    local probe
    probe="$(mktemp -d)"
    printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }\n' \
        >"${probe}/probe.cpp"
    if ! clang++ -fsanitize=fuzzer,address,undefined "${probe}/probe.cpp" -o "${probe}/probe" \
        >/dev/null 2>&1; then
        echo "installing: clang libclang-rt-dev"
        apt-get update -q
        apt-get install -y -q clang libclang-rt-dev
    fi
    rm -rf "${probe}"
}
