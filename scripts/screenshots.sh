#!/usr/bin/env bash
# Builds the program and saves pictures of its dialogs in docs/screenshots,
# drawn on a virtual X display so they look as they do on a desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target dialog-screenshots
mkdir -p docs/screenshots
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/release/tools/dialog-screenshots/dialog-screenshots docs/screenshots
