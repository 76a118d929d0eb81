#!/usr/bin/env bash
# Builds the libraries without widgets and their tests with AddressSanitizer
# and UndefinedBehaviorSanitizer into build-sanitize/ and runs those tests:
# a read past an array, a use after free, a leak or undefined behaviour in
# them fails the test that met it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
BUILD_DIR=${SANITIZE_BUILD_DIR:-build-sanitize}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPITROVA_SANITIZE=ON \
  -DPITROVA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target widgetfree_tests
ctest --test-dir "$BUILD_DIR" -L widgetfree --output-on-failure -j"$(nproc)"
