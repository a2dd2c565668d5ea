# Shared by the fuzzing scripts: the native compiler with libFuzzer and the
# sanitizers, and one timed run with its figures.
# shellcheck shell=bash

fuzz_ensure_compiler() {
    local packages=(clang-14 libclang-rt-14-dev) missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if ((${#missing[@]})); then
        log "installing: ${missing[*]}"
        local sudo=
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

# fuzz_build OUTPUT SOURCES... [-I...]: a native fuzzer with the address and
# undefined-behaviour sanitizers.
fuzz_build() {
    local output=$1
    shift
    log "building $output"
    clang++-14 -std=c++20 -O1 -g -fno-omit-frame-pointer \
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined "$@" -o "$output"
}

# fuzz_run NAME BINARY OUT_DIR BUDGET [extra libFuzzer options]: fuzzes the
# corpus in OUT_DIR/corpus for BUDGET seconds, prints the figures and fails
# on any finding.
fuzz_run() {
    local name=$1 binary=$2 out=$3 budget=$4
    shift 4
    log "fuzzing for ${budget} s"
    local start status elapsed runs rate coverage corpus
    start=$(date +%s)
    set +e
    "$binary" "$out/corpus" -max_total_time="$budget" -print_final_stats=1 \
        -artifact_prefix="$out/artifacts/" "$@" >"$out/fuzz.log" 2>&1
    status=$?
    set -e
    elapsed=$(($(date +%s) - start))

    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/fuzz.log" | grep -o '[0-9]*$' || echo '?')
    rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$out/fuzz.log" | grep -o '[0-9]*$' || echo '?')
    coverage=$(grep -o 'cov: [0-9]*' "$out/fuzz.log" | tail -1 | grep -o '[0-9]*' || echo '?')
    corpus=$(find "$out/corpus" -type f | wc -l)
    echo "$name: ${elapsed} s, ${runs} inputs (${rate}/s), coverage ${coverage} edges, corpus ${corpus} files"
    if [ "$status" -ne 0 ]; then
        echo "$name: FAILED (exit $status); see $out/fuzz.log and $out/artifacts/"
        grep -E 'ERROR|mismatch|broken|runtime error' "$out/fuzz.log" | head -5
        return 1
    fi
}
