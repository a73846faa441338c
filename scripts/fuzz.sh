#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) into build/fuzz and runs each one for
# a short while, starting from its seed corpus in tests/fuzz/corpus/<FuzzerName>/. Fails
# when a fuzzer finds a crash, a leak or a sanitizer report.
# Usage: scripts/fuzz.sh [seconds per fuzzer]   (default 20)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

seconds=${1:-20}

fuzzers=()
for source in tests/fuzz/*Fuzzer.cpp; do
	[ -e "$source" ] || continue
	fuzzers+=("$(basename "$source" .cpp)")
done
if [ ${#fuzzers[@]} -eq 0 ]; then
	echo "No fuzzers to run."
	exit 0
fi

cmake --preset fuzz
cmake --build --preset fuzz --target "${fuzzers[@]}"

for fuzzer in "${fuzzers[@]}"; do
	echo "=== $fuzzer (${seconds}s) ==="
	# New inputs go to a scratch corpus; the seeds in the source tree stay as they are.
	work="build/fuzz/corpus/$fuzzer"
	artifacts="build/fuzz/artifacts"
	mkdir -p "$work" "$artifacts"
	seeds=()
	if [ -d "tests/fuzz/corpus/$fuzzer" ]; then
		seeds=("tests/fuzz/corpus/$fuzzer")
	fi
	"build/fuzz/tests/fuzz/$fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
		-artifact_prefix="$artifacts/$fuzzer-" "$work" "${seeds[@]}"
done
echo "Every fuzzer ran without finding a crash."
