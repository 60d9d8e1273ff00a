# The libFuzzer harnesses of tests/fuzz: built with clang in their own build folder (the other
# builds stay gcc) and run, each for a bounded time, from its committed corpus. Sourced by
# scripts/check.

ALLOCFIX_FUZZ_SECONDS=${ALLOCFIX_FUZZ_SECONDS:-20}

allocfix_build_fuzzers() {
    local dir=$1
    echo "== $dir: configure"
    CC=clang-14 CXX=clang++-14 cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DALLOCFIX_FUZZ=ON >/dev/null
    echo "== $dir: build"
    cmake --build "$dir" --parallel "$(nproc)" | grep -vE '^\[[0-9]+/[0-9]+\]' || true
    cmake --build "$dir" >/dev/null
}

# Runs one harness from a scratch copy of its corpus; prints its executions and crashes. A crash
# leaves its input in $dir/artifacts and fails.
allocfix_run_fuzzer() {
    local dir=$1 name=$2
    local corpus="tests/fuzz/corpus/$name" work log status=0
    work=$(mktemp -d)
    log="$dir/$name.log"
    mkdir -p "$dir/artifacts"
    "$dir/tests/fuzz/$name" -max_total_time="$ALLOCFIX_FUZZ_SECONDS" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/artifacts/$name-" \
        "$work" "$corpus" >"$log" 2>&1 || status=$?
    rm -rf "$work"
    local executions crashes
    executions=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
    crashes=$(find "$dir/artifacts" -name "$name-*" | wc -l)
    echo "== fuzz $name: ${executions:-0} executions, $crashes crashes, corpus of $(ls "$corpus" | wc -l)"
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log"
        return 1
    fi
}

# Every harness, two at a time (the machine has two cores to spare once the tests are done).
allocfix_run_fuzzers() {
    local dir=$1 name pids=() failed=0
    for harness in tests/fuzz/corpus/*/; do
        name=$(basename "$harness")
        allocfix_run_fuzzer "$dir" "$name" &
        pids+=($!)
        if [ "${#pids[@]}" -ge 2 ]; then
            wait "${pids[0]}" || failed=1
            pids=("${pids[@]:1}")
        fi
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || failed=1
    done
    return "$failed"
}
