#!/usr/bin/env bash
# Runs the container tests under valgrind's memcheck: no invalid access, no
# uninitialised read, no leak. A build of its own without sanitizers;
# HASHBENCH_TEST_SCALE shortens the randomized sequences (default here 25%).
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=build/valgrind

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHASHBENCH_CONSOLE_X11=OFF -DHASHBENCH_WERROR=ON >/dev/null
cmake --build "$dir" --target container_tests -j"$(nproc)"

HASHBENCH_TEST_SCALE=${HASHBENCH_TEST_SCALE:-25} \
  valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
  --error-exitcode=1 --quiet "$dir/tests/containers/container_tests" --gtest_brief=1
