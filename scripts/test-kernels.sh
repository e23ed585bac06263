#!/bin/sh
# The tests that convert through the programs, once more with each kernel this
# processor has forced through VESNOR_KERNEL, as a user's bug report would force it.
# The engine's own tests and the portable check already run every kernel in turn.
set -eu
build=${1:-build}
jobs=${2:-2}
tests='^(tst_cli|tst_saver|tst_savedfiles|tst_opening)$'
for kernel in portable avx2 avx512; do
    if ! VESNOR_KERNEL=$kernel "$build/bin/vesnor-convert" --version | grep -q "^Kernel: $kernel "; then
        echo "test-kernels: this processor has no $kernel kernel; skipped"
        continue
    fi
    echo "test-kernels: VESNOR_KERNEL=$kernel"
    (cd "$build" && VESNOR_KERNEL=$kernel QT_QPA_PLATFORM=offscreen \
        ctest --output-on-failure -j "$jobs" -R "$tests")
done
