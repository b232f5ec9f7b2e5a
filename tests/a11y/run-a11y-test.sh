#!/bin/sh
# Runs the console of a demo installation under a display, a session bus and
# an accessibility bus of its own and checks it through the bus with
#   run-a11y-test.sh BUILD_DIR TEST_SCRIPT
# The installation, home and runtime folders live in a throw-away folder;
# everything started here is stopped on the way out. Exit 77 (skipped) only
# when Xvfb, dbus-run-session, at-spi2-core or pyatspi are missing, and never
# on CI, where tools/deps.sh installs them.
set -eu

if [ "${1:-}" = "--inside-bus" ]; then
  # Second half: on the private session bus.
  shift
  inst=$1 script=$2
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$JX_A11Y_DIR/bus-launcher.log" 2>&1 &
  launcher=$!
  console=""
  stop() {
    [ -n "$console" ] && kill "$console" 2>/dev/null || true
    kill "$launcher" 2>/dev/null || true
    [ -n "$console" ] && wait "$console" 2>/dev/null || true
    wait "$launcher" 2>/dev/null || true
  }
  trap stop EXIT
  # The accessibility bus is up once the launcher answers on the session bus.
  i=0
  until dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -gt 50 ] && { echo "run-a11y-test: the accessibility bus did not start"; cat "$JX_A11Y_DIR/bus-launcher.log"; exit 1; }
    sleep 0.1
  done
  # Under the sanitizers, libxkbcommon-x11 (reached only on a real X display)
  # strndup()s a counted buffer that has no terminating NUL, which AddressSanitizer's
  # strict string checks report although strndup reads no further than the count.
  console_asan=$(printf '%s' "${ASAN_OPTIONS:-}" | sed 's/strict_string_checks=1/strict_string_checks=0/')
  ASAN_OPTIONS="$console_asan" QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$inst/JxMain1" >"$JX_A11Y_DIR/console.log" 2>&1 &
  console=$!
  status=0
  JX_CONSOLE_PID=$console timeout 180 /usr/bin/python3 "$script" || status=$?
  if [ $status -ne 0 ]; then
    echo "--- console output"; tail -n 40 "$JX_A11Y_DIR/console.log"
  fi
  exit $status
fi

build=$1 script=$2
missing=""
for tool in Xvfb dbus-run-session dbus-send; do
  command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
for tool in /usr/libexec/at-spi-bus-launcher /usr/libexec/at-spi2-registryd; do
  [ -x "$tool" ] || missing="$missing $tool"
done
/usr/bin/python3 -c 'import pyatspi' >/dev/null 2>&1 || missing="$missing python3-pyatspi"
if [ -n "$missing" ]; then
  if [ -n "${CI:-}" ]; then
    echo "run-a11y-test: missing on CI:$missing (tools/deps.sh installs them)"
    exit 1
  fi
  echo "run-a11y-test: missing$missing; skipped"
  exit 77
fi
[ -x "$build/console/JxMain1" ] || { echo "run-a11y-test: build the product first ($build/console/JxMain1)"; exit 1; }

dir=$(mktemp -d)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  [ -n "$xvfb" ] && wait "$xvfb" 2>/dev/null || true
  if [ "${status:-1}" -eq 0 ]; then rm -rf "$dir"; else echo "run-a11y-test: evidence kept in $dir"; fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM

export HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" XDG_CONFIG_HOME="$dir/home/.config" XDG_DATA_HOME="$dir/home/.local/share"
export JX_REGISTRY_FILE="$dir/registry.json" JX_A11Y_DIR="$dir"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

cmake --install "$build" --prefix "$dir/inst" >"$dir/install.log" 2>&1 || { cat "$dir/install.log"; exit 1; }
for lib in Plugin/JXTool.so jxBackup.so JxEdit.so; do
  "$dir/inst/regsvr" "$dir/inst/$lib" >>"$dir/install.log" 2>&1
done

# A free display of our own: Xvfb picks it and writes its number.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
i=0
until [ -s "$dir/display" ]; do
  i=$((i + 1))
  [ $i -gt 100 ] && { echo "run-a11y-test: Xvfb did not start"; cat "$dir/xvfb.log"; exit 1; }
  sleep 0.1
done
export DISPLAY=":$(cat "$dir/display")"

status=0
dbus-run-session -- "$0" --inside-bus "$dir/inst" "$script" || status=$?
exit $status
