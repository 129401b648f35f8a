#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  ca-certificates cmake ninja-build g++ clang libclang-rt-14-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  nlohmann-json3-dev libcli11-dev libcurl4-openssl-dev libzip-dev pkg-config \
  qt6-base-dev qt6-svg-dev librsvg2-bin fonts-dejavu-core xvfb xauth \
  freedoom
# The Windows cross-build and Wine, which runs its tests, as they were tried:
# with their recommended packages.
apt-get install -y g++-mingw-w64-x86-64-posix googletest wine64 icoutils nsis xdotool
