#!/bin/sh
# Runs the libFuzzer targets of a clang sanitizer build (see README, "Fuzzing").
#
#   scripts/fuzz.sh BUILD SECONDS         each target SECONDS on its growing corpus
#   scripts/fuzz.sh BUILD SECONDS smoke   each target SECONDS on its seeds alone
#
# Everything a run keeps lies outside the checkout, in FUZZ_DIR (default
# ~/.cache/swfplugin-fuzz): seeds/ (remade each run: the fixture writer's movies, the
# movies of ../shared/corpus inflated, companion files), corpus/TARGET (grows from run to
# run), findings/TARGET (inputs that crashed, leaked or timed out) and logs/TARGET.log.
# FUZZ_TARGETS picks targets (default: movie meta_read meta_write).  Fails when any
# target finds something.
set -e
BUILD=${1:?usage: fuzz.sh BUILD SECONDS [smoke]}
SECONDS_EACH=${2:-600}
MODE=${3:-run}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
FUZZ_DIR=${FUZZ_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/swfplugin-fuzz}
CORPUS=${SWF_CORPUS_DIR:-$ROOT/../shared/corpus}
BIN=$BUILD/tests/fuzz

rm -rf "$FUZZ_DIR/seeds"
mkdir -p "$FUZZ_DIR/logs"
"$BIN/make_fuzz_seeds" "$FUZZ_DIR/seeds" "$CORPUS"

# The targets write their inputs to files: keep those in memory when the machine can.
[ -w /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=""
for target in ${FUZZ_TARGETS:-movie meta_read meta_write}; do
    dict=""
    case $target in
    movie) dict=-dict=$ROOT/tests/fuzz/movie.dict ;;
    meta_read) dict=-dict=$ROOT/tests/fuzz/meta.dict ;;
    esac
    if [ "$MODE" = smoke ]; then
        corpus=$(mktemp -d)
    else
        corpus=$FUZZ_DIR/corpus/$target
        mkdir -p "$corpus"
    fi
    findings=$FUZZ_DIR/findings/$target
    mkdir -p "$findings"
    log=$FUZZ_DIR/logs/$target.log
    status=0
    # An input that takes longer than the timeout counts as a finding: every input must
    # stay fast.
    "$BIN/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout=60 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" $dict \
        "$corpus" "$FUZZ_DIR/seeds/$target" >"$log" 2>&1 || status=$?
    [ "$MODE" = smoke ] && rm -rf "$corpus"
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
    echo "fuzz_$target: ${runs:-?} runs, ${speed:-?}/s, $coverage, exit $status (log $log)"
    if [ "$status" -ne 0 ]; then
        failed="$failed $target"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)' "$log" | head -n 5
    fi
done
if [ -n "$failed" ]; then
    echo "fuzzing found faults in:$failed; inputs in $FUZZ_DIR/findings" >&2
    exit 1
fi
