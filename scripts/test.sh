#!/usr/bin/env bash
# Installs what is missing, then builds from clean build folders and runs the whole
# suite in the release and the AddressSanitizer + UndefinedBehaviorSanitizer presets, then
# runs each fuzzer for ten seconds.
# Usage: scripts/test.sh [preset ...]   (default: release asan-ubsan)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

bash scripts/setup.sh

presets=("$@")
if [ ${#presets[@]} -eq 0 ]; then
	presets=(release asan-ubsan)
fi

for preset in "${presets[@]}"; do
	echo "=== $preset ==="
	rm -rf "build/$preset"
	cmake --preset "$preset"
	cmake --build --preset "$preset"
	ctest --preset "$preset"
done

if [ -x scripts/fuzz.sh ] && command -v clang++ >/dev/null 2>&1; then
	echo "=== fuzz (short run) ==="
	bash scripts/fuzz.sh 10
fi
