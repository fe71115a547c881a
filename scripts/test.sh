#!/usr/bin/env bash
# Sets up and builds what is missing, then runs the whole test suite twice:
# once as built, once under AddressSanitizer and UndefinedBehaviorSanitizer.
# Widgets run on Qt's offscreen platform, so no display is needed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export QT_QPA_PLATFORM=offscreen

"$here/scripts/setup.sh" build-tests -DORDWIN_BUILD_TESTS=ON -DORDWIN_BUILD_BENCHMARKS=ON
ctest --test-dir "$here/build-tests" --output-on-failure -j "$(nproc)"

"$here/scripts/setup.sh" build-asan -DORDWIN_SANITIZE=ON -DORDWIN_BUILD_BENCHMARKS=OFF
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir "$here/build-asan" --output-on-failure -j "$(nproc)"
