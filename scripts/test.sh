#!/usr/bin/env bash
# Installs what is needed, builds every flavour from scratch (plain, AddressSanitizer
# + UBSan, ThreadSanitizer, libFuzzer) and runs all their tests in one ctest run,
# after the Windows cross-build has passed its own tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
rm -rf build
presets=(dev asan tsan fuzz)
for preset in "${presets[@]}"; do
  cmake --preset "$preset" -DPELLRIG_WERROR=ON
  cmake --build --preset "$preset"
done
# The Windows build of the core and the tools, tested under Wine.
bash scripts/test-windows.sh
# One test tree over all flavours, so a single ctest run reports everything.
printf 'subdirs(%s)\n' "${presets[*]}" > build/CTestTestfile.cmake
ctest --test-dir build --output-on-failure --no-tests=error -j "$(nproc)"
