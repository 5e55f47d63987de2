#!/bin/sh
# Sets up, builds and runs the whole test suite headless.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
jobs=$(nproc)
# CMake's default generator here (Unix Makefiles in a fresh tree) and Ninja below: both keep building.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure --parallel "$jobs"

# The whole suite again under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer. Built
# with clang, which also builds the libFuzzer target; its ctest entry runs it for a bounded time. The
# sanitizers are named in CMAKE_CXX_FLAGS, as a developer names them, rather than by the project's
# TORIPIN_SANITIZE, which only adds these flags: so this build also checks that such flags build.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all" \
  -DTORIPIN_BENCH=OFF
cmake --build build-asan --parallel "$jobs"
# Reports go to files as well as failing the test: the game started under Xvfb has no visible output.
logs="$(pwd)/build-asan/sanitizer-logs"
rm -rf "$logs"
mkdir -p "$logs"
status=0
# The sanitizers split their options at spaces, so the paths are quoted for them.
ASAN_OPTIONS="detect_leaks=1:log_path=\"$logs/asan\"" \
  LSAN_OPTIONS="suppressions=\"$(pwd)/tests/lsan.supp\":print_suppressions=0" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=\"$logs/ubsan\"" QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build-asan --output-on-failure --parallel "$jobs" || status=$?
if [ -n "$(ls -A "$logs")" ]; then
  cat "$logs"/* >&2
  echo "test.sh: the sanitizers reported the errors above" >&2
  status=1
fi

# What a distribution runs before it ships the package: the source package built in a clean Debian 12
# chroot, piuparts and autopkgtest, each on a fresh chroot from Debian's mirror (about eight minutes).
sh scripts/distribution-checks.sh || status=1
exit "$status"
