#!/usr/bin/env bash
# Builds the Debian package from a finished build, checks what it holds and
# what it declares, installs it with apt-get, runs both installed programs on a
# demo database, removes it again and checks that nothing of it is left.
# Needs root (it installs the package) and a machine where apt can reach the
# package's dependencies. scripts/test.sh runs it after the tests.
#   scripts/test-package.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${1:-build}
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
[ "$(id -u)" = 0 ] || { echo "test-package.sh installs a package: run it as root" >&2; exit 1; }

export DEBIAN_FRONTEND=noninteractive
APT=(apt-get -y -q -o DPkg::Lock::Timeout=300)
fail() { echo "test-package: $*" >&2; exit 1; }

WORK=$(mktemp -d)
APP_PID=""
cleanup() {
  if [ -n "$APP_PID" ]; then kill "$APP_PID" 2>/dev/null || true; fi
  # A failed run does not leave the package on the machine.
  if dpkg-query -W -f '${Status}' fee-reports 2>/dev/null | grep -q installed; then
    "${APT[@]}" purge fee-reports >/dev/null || true
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

VERSION=$(sed -n 's/^project(fee_reports VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$VERSION" ] || fail "no project version in CMakeLists.txt"
ARCH=$(dpkg --print-architecture)
DEB="$BUILD/fee-reports_${VERSION}-1_${ARCH}.deb"
rm -f "$DEB"
echo "== building $DEB ($SECONDS s)"
cmake --build "$BUILD" --target package -j"$(nproc)" >"$WORK/package.log" 2>&1 || { cat "$WORK/package.log"; fail "cpack failed"; }
[ -f "$DEB" ] || fail "cpack wrote no $DEB"

echo "== contents ($SECONDS s)"
dpkg -c "$DEB" | awk '{print $NF}' | sed 's|^\./|/|; s|/$||' | grep -v '^$' >"$WORK/contents"
EXPECTED=(
  /usr/bin/fee-reports
  /usr/bin/fee-reports-cli
  /usr/share/applications/fee-reports.desktop
  /usr/share/man/man1/fee-reports-cli.1.gz
  /usr/share/fee-reports/MDI.BMP
  /usr/share/doc/fee-reports/guide.md
)
for size in 16 22 24 32 48 64 128 256; do
  EXPECTED+=("/usr/share/icons/hicolor/${size}x${size}/apps/fee-reports.png")
done
for path in "${EXPECTED[@]}"; do
  grep -qxF "$path" "$WORK/contents" || fail "the package lacks $path"
done

echo "== control fields ($SECONDS s)"
[ "$(dpkg-deb -f "$DEB" Package)" = fee-reports ] || fail "wrong package name"
[ "$(dpkg-deb -f "$DEB" Version)" = "${VERSION}-1" ] || fail "version $(dpkg-deb -f "$DEB" Version), not ${VERSION}-1"
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
echo "Depends: $DEPENDS"
# Found by dpkg-shlibdeps (Qt 6, libxlsxwriter, libzip) or named by hand.
for dep in libqt6widgets6 libqt6sql6 libqt6printsupport6 libxlsxwriter libzip libsqlite3 libqt6sql6-odbc \
  libodbc2 tdsodbc fonts-noto-cjk; do
  echo "$DEPENDS" | grep -Eq "(^|[ ,|])${dep}[0-9a-z.+-]*( |,|$)" || fail "Depends names no $dep"
done

dpkg-deb -x "$DEB" "$WORK/tree"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$WORK/tree/usr/share/applications/fee-reports.desktop"
fi
grep -qx 'Name=物业管理费报表' "$WORK/tree/usr/share/applications/fee-reports.desktop" || fail "desktop entry name"
grep -qx 'Icon=fee-reports' "$WORK/tree/usr/share/applications/fee-reports.desktop" || fail "desktop entry icon"
grep -Eq '^Categories=(.*;)?Office;' "$WORK/tree/usr/share/applications/fee-reports.desktop" || fail "desktop entry category"
for size in 16 22 24 32 48 64 128 256; do
  file "$WORK/tree/usr/share/icons/hicolor/${size}x${size}/apps/fee-reports.png" | grep -q "PNG image data, $size x $size," \
    || fail "icon ${size}x${size} is not a PNG of that size"
done
zcat "$WORK/tree/usr/share/man/man1/fee-reports-cli.1.gz" >"$WORK/man"
for heading in '^\.TH FEE\\-REPORTS\\-CLI 1' '^\.SS daily$' '^\.SS monthly$' '^\.SS receipts$' '^\.B \\-\\-connect CONN$'; do
  grep -q "$heading" "$WORK/man" || fail "the manual page lacks $heading"
done

# On a machine with nothing installed, apt's answer must bring every package
# that holds a library or plugin the programs load: their libraries, Qt's
# platform, SQL and print plugins, the ODBC driver manager, FreeTDS's driver
# and the CJK fonts.
echo "== dependencies on a clean system ($SECONDS s)"
: >"$WORK/empty-status"
apt-get -s -q -o Dir::State::status="$WORK/empty-status" install "$DEB" >"$WORK/clean-install" 2>&1 \
  || { cat "$WORK/clean-install"; fail "apt cannot resolve the package's dependencies on a clean system"; }
sed -n 's/^Inst \([^ :]*\).*/\1/p' "$WORK/clean-install" | sort -u >"$WORK/closure"
QT_PLUGINS=$(dirname "$(dpkg -L libqt6sql6-odbc | grep '/sqldrivers/libqsqlodbc\.so$')")/..
LOADED=(
  "$QT_PLUGINS/platforms/libqxcb.so"
  "$QT_PLUGINS/platforms/libqoffscreen.so"
  "$QT_PLUGINS/sqldrivers/libqsqlodbc.so"
  "$QT_PLUGINS/printsupport/libcupsprintersupport.so"
  "$(dpkg -L tdsodbc | grep '/libtdsodbc\.so$' | head -1)"
)
NEEDED=("${LOADED[@]}" "$(dpkg -L fonts-noto-cjk | grep 'NotoSansCJK-Regular\.ttc$' | head -1)")
for elf in "$WORK/tree/usr/bin/fee-reports" "$WORK/tree/usr/bin/fee-reports-cli" "${LOADED[@]}"; do
  ldd "$elf" | grep -q 'not found' && fail "$elf: $(ldd "$elf" | grep 'not found')"
  mapfile -t -O "${#NEEDED[@]}" NEEDED < <(ldd "$elf" | awk '$2 == "=>" && $3 ~ /^\// {print $3}')
done
# One dpkg -S for all of them (it reads its whole file list each time); a file
# may be known to dpkg under its /lib or /usr/lib name, or its link's target.
declare -A OWNER=()
mapfile -t UNIQUE < <(printf '%s\n' "${NEEDED[@]}" | sort -u)
CANDIDATES=()
for path in "${UNIQUE[@]}"; do
  CANDIDATES+=("$path" "$(readlink -f "$path")" "${path/#\/usr\/lib\//\/lib\/}" "${path/#\/lib\//\/usr\/lib\/}")
done
while IFS= read -r line; do
  # "libfoo1:amd64: /usr/lib/x86_64-linux-gnu/libfoo.so.1" (directories list several owners)
  OWNER["${line#*: }"]=$(echo "${line%%: *}" | sed 's/:[a-z0-9]*//g; s/, /\n/g' | head -1)
done < <(dpkg -S "${CANDIDATES[@]}" 2>/dev/null || true)
for path in "${UNIQUE[@]}"; do
  owner=""
  for candidate in "$path" "$(readlink -f "$path")" "${path/#\/usr\/lib\//\/lib\/}" "${path/#\/lib\//\/usr\/lib\/}"; do
    owner=${OWNER[$candidate]:-}
    [ -n "$owner" ] && break
  done
  [ -n "$owner" ] || fail "no package owns $path"
  grep -qxF "$owner" "$WORK/closure" || fail "$path comes from $owner, which installing the package would not bring"
done
echo "$(wc -l <"$WORK/closure") packages, every library and plugin among them"

echo "== install ($SECONDS s)"
if dpkg-query -W -f '${Status}' fee-reports 2>/dev/null | grep -q installed; then "${APT[@]}" purge fee-reports >/dev/null; fi
dpkg-query -W -f '${Package}\n' | sort >"$WORK/packages-before"
while read -r path; do [ -e "$path" ] && echo "$path"; done <"$WORK/contents" >"$WORK/existed-before" || true
"${APT[@]}" install "$DEB" >"$WORK/install.log" 2>&1 || { cat "$WORK/install.log"; fail "apt-get install failed"; }
dpkg-query -W -f '${Status}' fee-reports | grep -q 'install ok installed' || fail "not installed"
for path in "${EXPECTED[@]}"; do [ -f "$path" ] || fail "$path missing after install"; done

echo "== the installed command-line tool ($SECONDS s)"
cd "$WORK"
/usr/bin/fee-reports-cli demo-db "$WORK/demo.db" >/dev/null
CONN="Provider=SQLite;Data Source=$WORK/demo.db"
/usr/bin/fee-reports-cli daily --connect "$CONN" --office 01 --from 2026-01-01 --to 2026-01-31 \
  --csv daily.csv --xlsx daily.xlsx --pdf daily.pdf --paper A3
[ "$(wc -l <daily.csv)" -gt 10 ] || fail "daily list has $(wc -l <daily.csv) lines"
head -c 4 daily.pdf | grep -q '%PDF' || fail "daily.pdf is not a PDF"
head -c 2 daily.xlsx | grep -q 'PK' || fail "daily.xlsx is not a workbook"
/usr/bin/fee-reports-cli monthly --connect "$CONN" --date 2026-06-30 --csv monthly.csv
grep -q '合计' monthly.csv || fail "the monthly summary has no totals row"
echo "daily.csv $(wc -l <daily.csv) lines, monthly.csv $(wc -l <monthly.csv) lines"

echo "== the installed desktop program, offscreen ($SECONDS s)"
SESSION='1001{}张伟{}0101{}财务部{}001{}会计{}01{}职能部门{}01{}管理岗'
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$WORK/config" \
  /usr/bin/fee-reports "${SESSION}【】${CONN}【】package-test" >"$WORK/app.log" 2>&1 &
APP_PID=$!
# Up with the demo database open (a failed connection would show its boxes
# instead and hold no file), and the CJK fonts loaded.
opened=""
for _ in $(seq 100); do
  kill -0 "$APP_PID" 2>/dev/null || { cat "$WORK/app.log"; fail "fee-reports ended at once"; }
  if ls -l "/proc/$APP_PID/fd" 2>/dev/null | grep -q "$WORK/demo.db"; then opened=yes; break; fi
  sleep 0.1
done
[ -n "$opened" ] || { cat "$WORK/app.log"; fail "fee-reports did not open the demo database"; }
sleep 1
kill -0 "$APP_PID" 2>/dev/null || { cat "$WORK/app.log"; fail "fee-reports ended after opening the database"; }
grep -Eq 'Noto(Sans|Serif)CJK' "/proc/$APP_PID/maps" || fail "fee-reports did not load the CJK fonts"
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=""
if grep -Ei 'could not|cannot|failed|error' "$WORK/app.log"; then fail "fee-reports complained (above)"; fi
cd "$ROOT"

echo "== remove ($SECONDS s)"
"${APT[@]}" purge fee-reports >"$WORK/remove.log" 2>&1 || { cat "$WORK/remove.log"; fail "apt-get purge failed"; }
dpkg-query -W -f '${Status}' fee-reports 2>/dev/null | grep -q 'installed\|config-files' && fail "dpkg still knows fee-reports"
while read -r path; do
  grep -qxF "$path" "$WORK/existed-before" && continue
  [ -e "$path" ] && fail "$path is left after removal"
done <"$WORK/contents"
# What apt brought for the package alone goes with it (on a machine that had
# them already, nothing).
dpkg-query -W -f '${Package}\n' | sort >"$WORK/packages-after"
ADDED=$(comm -13 "$WORK/packages-before" "$WORK/packages-after")
if [ -n "$ADDED" ]; then
  echo "removing the dependencies the package brought: $ADDED"
  # shellcheck disable=SC2086
  "${APT[@]}" purge $ADDED >>"$WORK/remove.log" 2>&1 || { cat "$WORK/remove.log"; fail "purging the dependencies failed"; }
  dpkg-query -W -f '${Package}\n' | sort >"$WORK/packages-after"
  cmp -s "$WORK/packages-before" "$WORK/packages-after" || fail "packages differ after removal"
fi
echo "package test passed: $(basename "$DEB")"
