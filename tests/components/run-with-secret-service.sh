#!/bin/sh
# Runs a test program on a session bus of its own with a keyring daemon of
# its own (home, data and runtime folders in a throw-away folder), so that
# the secret-service path is exercised without touching the user's keyring.
#   run-with-secret-service.sh PROGRAM [ARGS...]
set -eu
if ! command -v dbus-run-session >/dev/null || ! command -v gnome-keyring-daemon >/dev/null \
   || ! command -v secret-tool >/dev/null; then
  echo "run-with-secret-service: dbus-run-session, gnome-keyring-daemon or secret-tool missing; the test skips"
  exec "$@"
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export HOME="$dir/home" XDG_DATA_HOME="$dir/data" XDG_RUNTIME_DIR="$dir/run"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
status=0
dbus-run-session -- sh -c 'printf test | gnome-keyring-daemon --unlock --components=secrets >/dev/null &&
  JX_TEST_SECRET_SERVICE=1 "$@"' sh "$@" || status=$?
exit $status
