#!/usr/bin/env bash
# Builds the program, makes its database beside it when there is none, and
# starts it.  Arguments go to the program (e.g. /D).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
BIN=${BUILD_DIR:-build}/bin
"$BIN/kromdb_create" "$BIN/KROMDB.GDB"
# Point the program at its database through the embedded engine, unless a
# configuration file says otherwise already.
if [ ! -f "$BIN/ustawienia.ini" ]; then
  printf '[Parametry]\r\nAliasBazy=%s\r\n' "$(cd "$BIN" && pwd)/KROMDB.GDB" >"$BIN/ustawienia.ini"
fi
if [ "$(id -u)" != 0 ] && [ -z "${FIREBIRD_LOCK:-}" ]; then
  export FIREBIRD_LOCK=/tmp/firebird-$(id -u)
  mkdir -p "$FIREBIRD_LOCK"
fi
exec "$BIN/pitrova" "$@"
