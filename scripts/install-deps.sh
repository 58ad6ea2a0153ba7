#!/usr/bin/env bash
# Installs the Debian packages that TAVRELO builds, tests and runs with, and only
# those that are missing. Safe to run again: with everything present it does nothing.
set -euo pipefail

PACKAGES=(
  g++ cmake make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  libcairo2-dev libfreetype-dev fonts-liberation2 libutf8proc-dev libqpdf-dev zlib1g-dev libxcb1-dev
  qt6-base-dev qt6-translations-l10n
  poppler-utils qpdf locales
  xvfb x11-xkb-utils openbox xdotool dbus-daemon
  clang-format clang-14 libclang-rt-14-dev
  dpkg-dev librsvg2-bin lintian desktop-file-utils appstream man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "install-deps: faltam pacotes (${missing[*]}) e não há root nem sudo para os instalar." >&2
  exit 1
fi

echo "install-deps: a instalar ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -q
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
