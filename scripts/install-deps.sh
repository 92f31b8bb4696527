#!/usr/bin/env bash
# Installs the Debian 12 packages the workstation builds, runs and tests with.
# Idempotent: when everything is present it only asks dpkg and returns.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-odbc qt6-qpa-plugins
    qt6-multimedia-dev
    unixodbc unixodbc-dev odbc-mariadb
    mariadb-server mariadb-client openssl
    libespeak-ng-dev espeak-ng-data
    libmecab-dev mecab-ipadic-utf8
    libjpeg-dev
    fonts-ipafont-gothic qt6-translations-l10n
    googletest libgtest-dev libgmock-dev
    xvfb xauth sox
    x11-apps netpbm xdotool
    desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# The server package must not start a system-wide server: the project runs its own.
if [[ ! -e /usr/sbin/policy-rc.d ]]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee /usr/sbin/policy-rc.d >/dev/null
    $sudo chmod +x /usr/sbin/policy-rc.d
    trap '$sudo rm -f /usr/sbin/policy-rc.d' EXIT
fi
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
