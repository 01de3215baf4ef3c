#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz/ with clang 14 into build-fuzz/ and runs one
# of them, or each in turn, for SECONDS on one core:
#     bash scripts/fuzz.sh fuzz_pagerun 600
#     bash scripts/fuzz.sh all 60
# Each target works on build-fuzz/corpus/TARGET, seeded from tests/fuzz/corpus/TARGET;
# what it finds (crashes, timeouts, memory blow-ups) goes to build-fuzz/findings/TARGET/.
# Exit status 1 when something was found.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
targets=(fuzz_expression fuzz_tokenizer fuzz_patterns fuzz_bmp fuzz_pagerun)

if [ $# -ne 2 ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 TARGET|all SECONDS   (targets: ${targets[*]})" >&2
    exit 2
fi
if [ "$1" = all ]; then
    selected=("${targets[@]}")
elif [[ " ${targets[*]} " == *" $1 "* ]]; then
    selected=("$1")
else
    echo "$0: no fuzz target $1 (targets: ${targets[*]})" >&2
    exit 2
fi
seconds=$2

bash scripts/install-packages.sh clang-14 libclang-rt-14-dev cmake ninja-build

# One core: the fuzzer runs single-process, and so does the build.
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTOVA_FUZZ=ON >/dev/null
cmake --build build-fuzz --parallel 1 --target "${selected[@]}"

# AddressSanitizer keeps freed memory aside to catch late uses, 256 MB of it by default,
# which alone would reach the RSS limit; a smaller reserve leaves the limit to real growth.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=32
found=0
summary=()
for target in "${selected[@]}"; do
    corpus=$root/build-fuzz/corpus/$target
    findings=$root/build-fuzz/findings/$target
    log=$root/build-fuzz/$target.log
    mkdir -p "$corpus" "$findings"
    cp -n tests/fuzz/corpus/"$target"/* "$corpus"/
    options=(-max_total_time="$seconds" -rss_limit_mb=256 -timeout=10 -print_final_stats=1
             -artifact_prefix="$findings"/)
    case $target in
        fuzz_pagerun|fuzz_tokenizer) options+=(-dict="$root"/tests/fuzz/dict/zent.dict) ;;
    esac
    echo "== $target for $seconds s (log: $log)"
    start=$SECONDS
    set +e
    build-fuzz/tests/fuzz/"$target" "${options[@]}" "$corpus" >"$log" 2>&1
    status=$?
    set -e
    ran=$((SECONDS - start))
    executions=$(awk '/^stat::number_of_executed_units:/ { print $2 }' "$log" | tail -1)
    rss=$(awk '/^stat::peak_rss_mb:/ { print $2 }' "$log" | tail -1)
    count=$(find "$findings" -type f | wc -l)
    if [ "$status" -ne 0 ] || [ "$count" -gt 0 ]; then
        found=1
        grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|artifact_prefix|Test unit written)' "$log" | head -5 || true
    fi
    summary+=("$(printf '%-16s %10s executions %6s s  peak RSS %4s MB  %s finding(s), exit %s' \
        "$target" "${executions:-?}" "$ran" "${rss:-?}" "$count" "$status")")
done
echo "== summary"
printf '%s\n' "${summary[@]}"
exit $found
