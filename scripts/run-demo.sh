#!/usr/bin/env bash
# Starts the desktop program on the demo database the way a calling program
# does: a finished login (张伟, 财务部 会计) and the connection string in one
# argument. Builds nothing.
#   scripts/run-demo.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${1:-build}
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac

CLI="$BUILD/cli/fee-reports-cli"
APP="$BUILD/app/fee-reports"
for f in "$CLI" "$APP"; do
  if [ ! -x "$f" ]; then
    echo "missing $f: build the project first (cmake -S . -B build && cmake --build build)" >&2
    exit 1
  fi
done

DB="$ROOT/demo/demo.db"
if [ ! -f "$DB" ]; then
  mkdir -p "$ROOT/demo"
  # Two offices with poor payers give the charts differences worth seeing.
  "$CLI" demo-db "$DB" --poor-offices 2
fi

# The session fields of job number 1001 in the demo database: user, name,
# department code and name, position code and name, department category code
# and name, position category code and name.
SESSION='1001{}张伟{}0101{}财务部{}001{}会计{}01{}职能部门{}01{}管理岗'
exec "$APP" "${SESSION}【】Provider=SQLite;Data Source=${DB}【】demo"
