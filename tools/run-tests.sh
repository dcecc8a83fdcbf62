#!/usr/bin/env bash
# Installs what the tests need, checks that includes follow the layers, builds every test with
# AddressSanitizer and UndefinedBehaviorSanitizer, runs them, runs the socket and audio tests
# again under ThreadSanitizer, then runs each fuzz target for a share of a fixed time
# budget. Every stage runs even when an earlier one failed; the last line counts what passed and
# what failed, and the exit status is non-zero when anything failed.
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)
# Seconds all fuzz targets share; each gets an equal part (at least 5 s).
fuzz_budget=${VANTREL_FUZZ_SECONDS:-180}

passed=0
failed=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

summary() {
    echo "summary: $passed passed, $failed failed"
    [[ $failed -eq 0 ]]
    exit
}

# A stage that cannot even start (no packages, no build) counts as one failure.
stage_failed() {
    echo "error: $1" >&2
    failed=$((failed + 1))
}

# Adds ctest's own counts ("N% tests passed, F tests failed out of T") from its log.
count_ctest() {
    local line
    line=$(grep -Eo '[0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1)
    if [[ -z "$line" ]]; then
        stage_failed "ctest reported no result"
        return
    fi
    local bad=${line%% *} total=${line##* }
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

"$top/tools/install-deps.sh" game tests || { stage_failed "the packages could not be installed"; summary; }

# Layers: no product file includes a file of a layer above its own (DESIGN.md section 1).
if python3 "$top/tools/check-layers.py"; then
    passed=$((passed + 1))
else
    echo "FAILED: the layer check (tools/check-layers.py)"
    failed=$((failed + 1))
fi

# Tests: GCC, the compiler of the game's own build, with both sanitizers and no recovery.
if cmake -S "$top" -B "$top/build/test" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTREL_SANITIZE=ON \
         -DVANTREL_TESTS=ON -DVANTREL_BENCH=OFF >/dev/null &&
   cmake --build "$top/build/test" -j "$jobs"; then
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir "$top/build/test" --output-on-failure -j "$jobs" -LE 'gl' | tee "$scratch/unit.log"
    count_ctest "$scratch/unit.log"
    if ctest --test-dir "$top/build/test" -N -L gl | grep -q 'Total Tests: [1-9]'; then
        # One at a time: windows sharing a display pass focus between them, and a test that counts
        # what a frame does would see the input events that causes. Without leak detection: Mesa's
        # software driver leaks a little per context from a library it unloads before the check (so
        # no suppression can name it), and the slow unwinding a suppression would need deadlocks
        # against the driver's code generator. The unit tests keep leak detection. The server
        # must not reset when its last client leaves: each test closes its display connection, and
        # the next test's connection, made while the server resets, would be refused.
        ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
        xvfb-run -a -s '-screen 0 1280x1024x24 -noreset' \
            ctest --test-dir "$top/build/test" --output-on-failure -L gl | tee "$scratch/gl.log"
        count_ctest "$scratch/gl.log"
    fi
else
    stage_failed "the tests did not build"
fi

# ThreadSanitizer: the socket tests (label net) and the audio tests once more, built with GCC
# and TSan alone; any report fails the test that raised it.
if cmake -S "$top" -B "$top/build/tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTREL_TSAN=ON \
         -DVANTREL_TESTS=ON -DVANTREL_BENCH=OFF >/dev/null &&
   cmake --build "$top/build/tsan" -j "$jobs" --target padlink_tests audio_tests; then
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions="$top/tests/support/tsan-suppressions"
    ctest --test-dir "$top/build/tsan" --output-on-failure -j "$jobs" -L net | tee "$scratch/tsan.log"
    count_ctest "$scratch/tsan.log"
    ctest --test-dir "$top/build/tsan" --output-on-failure -j "$jobs" -L audio | tee "$scratch/tsan-audio.log"
    count_ctest "$scratch/tsan-audio.log"
else
    stage_failed "the ThreadSanitizer tests did not build"
fi

# Fuzz targets: clang 14 with libFuzzer, each run from a copy of its seed corpus. Inputs that
# fail are kept in build/fuzz/artifacts to be replayed with the target. Leak detection is on, after
# inputs and at exit, whatever the stages above exported; the targets that draw keep their GL
# context until the process ends, so that the GL driver never unloads itself before the exit check
# and what it keeps in its own static data is never taken for a leak (tests/fuzz/FuzzObjectWorld.h).
if cmake -S "$top" -B "$top/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_FUZZ=ON \
         -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null &&
   cmake --build "$top/build/fuzz" -j "$jobs" --target fuzz_targets; then
    targets=("$top"/tests/fuzz/*.cpp)
    seconds=$((fuzz_budget / ${#targets[@]}))
    [[ $seconds -ge 5 ]] || seconds=5
    artifacts="$top/build/fuzz/artifacts"
    mkdir -p "$artifacts"
    for source in "${targets[@]}"; do
        name=$(basename "$source" .cpp)
        corpus="$scratch/corpus-$name"
        mkdir -p "$corpus"
        seeds="$top/tests/fuzz/corpus/$name"
        [[ -d "$seeds" ]] && cp -r "$seeds"/. "$corpus"/
        echo "fuzzing $name for ${seconds}s"
        if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
           "$top/build/fuzz/tests/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
               -print_final_stats=0 -artifact_prefix="$artifacts/$name-" "$corpus" 2>"$scratch/$name.log"; then
            grep -E '^#[0-9]+.*DONE' "$scratch/$name.log" | tail -n 1
            passed=$((passed + 1))
        else
            tail -n 60 "$scratch/$name.log"
            echo "FAILED: fuzz target $name (failing inputs in $artifacts)"
            failed=$((failed + 1))
        fi
        rm -rf "$corpus"
    done
else
    stage_failed "the fuzz targets did not build"
fi

summary
