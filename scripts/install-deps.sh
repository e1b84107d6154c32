#!/usr/bin/env bash
# Installs everything the build, the program and the tests need (Debian, as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  g++ cmake make pkg-config \
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc libqt6opengl6-dev qt6-svg-dev \
  libsqlite3-dev libxlsxwriter-dev libzip-dev \
  unixodbc unixodbc-dev tdsodbc freetds-bin python3 libssl-dev openssl \
  fonts-noto-cjk python3-openpyxl libreoffice-calc-nogui poppler-utils \
  qt6-translations-l10n xvfb xauth x11-apps imagemagick xdotool libx11-dev libxtst-dev x11-xkb-utils \
  clang libclang-rt-14-dev \
  dpkg-dev file desktop-file-utils
