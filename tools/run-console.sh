#!/usr/bin/env bash
# Builds the product, lays out the demo installation and starts the console.
# Without a display it runs the console under Xvfb, saves a screenshot of its
# first window and stops it.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/deps.sh"
build="${JX_BUILD_DIR:-$here/build}"
prefix="${JX_INSTALL_DIR:-$here/install}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
cmake --install "$build" --prefix "$prefix" >/dev/null
"$prefix/regsvr" "$prefix/Plugin/JXTool.so" >/dev/null || true
"$prefix/regsvr" "$prefix/jxBackup.so" >/dev/null || true
"$prefix/regsvr" "$prefix/JxEdit.so" >/dev/null || true

if [ -n "${DISPLAY:-}" ]; then
  exec "$prefix/JxMain1"
fi
shot="${JX_SCREENSHOT:-$here/console-screenshot.png}"
echo "No display: running the console under Xvfb; its first window goes to $shot"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "$1/JxMain1" & pid=$!
  sleep 6
  import -window root "$2"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true' _ "$prefix" "$shot"
echo "Screenshot saved to $shot"
