#!/usr/bin/env bash
# Starts or stops a Firebird server on localhost:3050 for the tests of the
# server road, with the program's SYSDBA password.
#   scripts/firebird-server.sh start   (prints nothing on success; pid in $PIDFILE)
#   scripts/firebird-server.sh stop
set -euo pipefail
PIDFILE=${PIDFILE:-/tmp/pitrova-firebird.pid}
PASSWORD=zeriridaz

wait_port() {
  for _ in $(seq 1 100); do
    if (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; then return 0; fi
    sleep 0.1
  done
  echo "Firebird server did not start" >&2
  return 1
}


case "${1:-}" in
start)
  if [ "$(id -u)" != 0 ]; then echo "run as root (the server runs as user firebird)" >&2; exit 1; fi
  # Give SYSDBA the program's password, through the embedded engine while no
  # server holds the security database.
  echo "alter user SYSDBA password '$PASSWORD'; commit;" |
    isql-fb -q -user SYSDBA /var/lib/firebird/3.0/system/security3.fdb
  # Lock files made by embedded runs as root must belong to the server's user.
  mkdir -p /tmp/firebird && chown -R firebird:firebird /tmp/firebird
  chown firebird:firebird /var/lib/firebird/3.0/system/security3.fdb
  setpriv --reuid=firebird --regid=firebird --clear-groups /usr/sbin/firebird >/tmp/pitrova-firebird.log 2>&1 &
  echo $! >"$PIDFILE"
  wait_port
  ;;
stop)
  if [ -f "$PIDFILE" ]; then
    kill -TERM "$(cat "$PIDFILE")" 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$(cat "$PIDFILE")" 2>/dev/null || break; sleep 0.1; done
    rm -f "$PIDFILE"
  fi
  ;;
*) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
