#!/usr/bin/env bash
# Installs every Debian package that the build, the program and the tests need.
# Idempotent and non-interactive; installs only what is missing.
set -euo pipefail

packages=(
  # build
  cmake g++ make ccache pkg-config
  # Qt 6 and its French translation
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-serialport-dev
  libqt6sql6-sqlite libqt6sql6-odbc
  # database access
  libsqlite3-dev unixodbc unixodbc-dev tdsodbc libsqliteodbc
  # formats and network
  zlib1g-dev libfreexl-dev libcurl4-openssl-dev libsane-dev
  # test peers
  python3 python3-pyftpdlib python3-aiosmtpd socat xvfb xauth zip unzip
  poppler-utils libreoffice-calc
  # fonts so that offscreen and PDF rendering have glyphs; public-domain icons for the demo
  fonts-dejavu-core tango-icon-theme
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
