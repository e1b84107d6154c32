#!/usr/bin/env bash
# Starts the desktop program on its login road, as a site with a SQL Server
# would: the stored settings point at a local SQL Server stand-in
# (tools/tds-test-server of the shared folder) serving a demo database, so
# every demo login can be tried. Uses a private settings folder; the user's
# own settings are left alone. Builds nothing.
#   scripts/run-demo-login.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${1:-build}
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
SERVER="${FEE_SHARED_DIR:-$ROOT/../shared}/tools/tds-test-server/tds_test_server.py"
[ -f "$SERVER" ] || { echo "missing $SERVER (set FEE_SHARED_DIR)" >&2; exit 1; }

WORK="$ROOT/demo/login"
mkdir -p "$WORK/config/VB and VBA Program Settings"
DB="$WORK/demo-server.db"
# The stand-in does not know the embedded collation: a plain-collation copy.
[ -f "$DB" ] || "$BUILD/cli/fee-reports-cli" demo-db "$DB" --plain-collation --poor-offices 2

PASSWORD='Demo-Server-1'
rm -f "$WORK/port"
/usr/bin/python3 "$SERVER" --db "$DB" --port 0 --port-file "$WORK/port" \
  --user sa --password "$PASSWORD" --database wy --max-seconds 7200 >"$WORK/server.log" 2>&1 &
SERVER_PID=$!
trap 'kill $SERVER_PID 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$WORK/port" ] && break; sleep 0.1; done
PORT=$(cat "$WORK/port")

cat >"$WORK/config/VB and VBA Program Settings/物业管理QLX2011.conf" <<CONF
[DBConfig]
Svr=127.0.0.1,$PORT
UID=sa
PWD=$PASSWORD
DBname=wy
CONF
echo "SQL Server stand-in on 127.0.0.1,$PORT; log in as 1001 / 1234 (see README for the others)"
XDG_CONFIG_HOME="$WORK/config" "$BUILD/app/fee-reports"
