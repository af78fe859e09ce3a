#!/usr/bin/env bash
# Builds the whole tree under AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer (clang 14) in build-asan/ and runs every test through CTest.
# The fuzz targets share this build (scripts/fuzz.sh), so the tree is built
# with the sanitizers once.
# Any report fails its test: undefined behaviour stops the program, and a
# leak makes it exit non-zero. scripts/lsan.supp names the few one-time
# allocations of system libraries that no code of ours owns.
#
#   scripts/sanitize.sh [CTEST ARGS...]      e.g. scripts/sanitize.sh -R test_package
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
BUILD_DIR=${BUILD_DIR:-build-asan}
launcher=()
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export QT_QPA_PLATFORM=offscreen
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_SANITIZE=ON -DTESSARO_FUZZ=ON \
      -DCMAKE_CXX_COMPILER=clang++-14 "${launcher[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" "$@"
