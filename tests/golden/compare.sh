#!/usr/bin/env bash
# Runs the command-line tool and compares its standard output with a
# reference file byte for byte, or rewrites the reference when
# FEE_UPDATE_GOLDEN is set (to anything but 0).
#   compare.sh REFERENCE OUTPUT CLI DB ARGS...
# "{CONN}" in ARGS stands for the connection string of the database file DB.
set -u
reference=$1 output=$2 cli=$3 db=$4
shift 4
args=()
conn="Provider=SQLite;Data Source=$db"
for arg in "$@"; do args+=("${arg//\{CONN\}/$conn}"); done
if ! "$cli" "${args[@]}" >"$output"; then
  echo "the command failed: $cli ${args[*]}" >&2
  exit 1
fi
if [ -n "${FEE_UPDATE_GOLDEN:-}" ] && [ "${FEE_UPDATE_GOLDEN}" != 0 ]; then
  cp "$output" "$reference"
  echo "rewrote $reference"
  exit 0
fi
if [ ! -f "$reference" ]; then
  echo "no reference $reference: run with FEE_UPDATE_GOLDEN=1 to write it" >&2
  exit 1
fi
if ! cmp -s "$output" "$reference"; then
  echo "the output differs from $reference:" >&2
  diff -u "$reference" "$output" | head -n 60 >&2
  exit 1
fi
