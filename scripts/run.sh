#!/usr/bin/env bash
# Installs what is needed, builds, and shows the network core at work: a master
# list request sent from the launcher's socket to a local listener.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
./build/release/tools/pellrig-cli/pellrig-cli master-request
