#!/bin/sh
# The tests that convert, once more with each kernel this processor has forced
# through VESNOR_KERNEL, as a user's bug report would force it. (The engine's own
# tests already run every kernel in turn; here the converter and the window's
# reading and saving do too.)
set -eu
build=${1:-build}
jobs=${2:-2}
tests='^(tst_codec|tst_conversion|tst_equivalence|tst_textfile|tst_cli|tst_saver|tst_savedfiles|tst_opening|check_portable)$'
for kernel in portable avx2 avx512; do
    if ! VESNOR_KERNEL=$kernel "$build/bin/vesnor-convert" --version | grep -q "^Kernel: $kernel "; then
        echo "test-kernels: this processor has no $kernel kernel; skipped"
        continue
    fi
    echo "test-kernels: VESNOR_KERNEL=$kernel"
    (cd "$build" && VESNOR_KERNEL=$kernel QT_QPA_PLATFORM=offscreen \
        ctest --output-on-failure -j "$jobs" -R "$tests")
done
