#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan) in build-asan/, the
# sanitizer build scripts/sanitize.sh makes too, and runs each in turn.
#
#   scripts/fuzz.sh [SECONDS | --runs N] [TARGET...]
#
# SECONDS (default 30) bounds each target's run; --runs N runs N inputs each
# instead. TARGET names are the fuzz/NAME.cpp files (default: all of them).
# Each target starts from its checked-in seeds (fuzz/corpus/NAME/) and keeps
# what it learns in $BUILD_DIR/corpus/NAME/; a crash is saved in
# $BUILD_DIR/artifacts/NAME/ and fails the script. FUZZ_JOBS=N runs N
# processes per target; FUZZ_ARGS adds libFuzzer options.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
BUILD_DIR=${BUILD_DIR:-build-asan}

limit=(-max_total_time=30)
if [ "${1:-}" = "--runs" ]; then
    limit=(-runs="$2"); shift 2
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
    limit=(-max_total_time="$1"); shift
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for f in fuzz/*.cpp; do
        grep -q LLVMFuzzerTestOneInput "$f" && targets+=("$(basename "$f" .cpp)")
    done
fi

launcher=()
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export QT_QPA_PLATFORM=offscreen
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_SANITIZE=ON -DTESSARO_FUZZ=ON \
      -DCMAKE_CXX_COMPILER=clang++-14 "${launcher[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}")

failed=()
for t in "${targets[@]}"; do
    corpus=$BUILD_DIR/corpus/$t
    artifacts=$BUILD_DIR/artifacts/$t
    mkdir -p "$corpus" "$artifacts"
    args=("${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
          -artifact_prefix="$root/$artifacts/")
    [ -f "fuzz/dict/$t.dict" ] && args+=(-dict="fuzz/dict/$t.dict")
    if [ -n "${FUZZ_JOBS:-}" ]; then
        args+=(-jobs="$FUZZ_JOBS" -workers="$FUZZ_JOBS")
    fi
    # shellcheck disable=SC2206
    args+=(${FUZZ_ARGS:-})
    echo "=== fuzz_$t: ${limit[*]}"
    start=$SECONDS
    if "$BUILD_DIR/fuzz/fuzz_$t" "${args[@]}" "$corpus" "fuzz/corpus/$t" \
           >"$BUILD_DIR/fuzz_$t.log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$BUILD_DIR/fuzz_$t.log" | tr '\n' ' '
        echo "($((SECONDS - start)) s)"
    else
        tail -n 60 "$BUILD_DIR/fuzz_$t.log"
        echo "fuzz_$t FAILED (log: $BUILD_DIR/fuzz_$t.log, input: $artifacts/)"
        failed+=("$t")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzz targets with findings: ${failed[*]}"
    exit 1
fi
