#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, only what is
# missing, with sudo only when not root.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-declarative-dev qt6-tools-dev-tools qt6-tools-dev qt6-l10n-tools
  libgl-dev fonts-wqy-microhei
  # The device records: Qt's SQLite and PostgreSQL drivers, and a server
  # the tests start themselves (nothing is set up as a system service).
  libqt6sql6-sqlite libqt6sql6-psql postgresql-15
)
if [[ "${DTU_WITH_FUZZ:-0}" == 1 ]]; then
  PACKAGES+=(clang libclang-rt-dev lld)
fi
# Building and checking the Debian package (scripts/package.sh,
# scripts/check-package.sh).
if [[ "${DTU_WITH_PACKAGING:-0}" == 1 ]]; then
  PACKAGES+=(dpkg-dev file desktop-file-utils appstream man-db bash-completion)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
