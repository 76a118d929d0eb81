#!/usr/bin/env bash
# Installs the Debian packages the program needs to build, run and test,
# plus any packages named as arguments (CI adds the Firebird server).
# Does nothing when they are all there already.
set -euo pipefail
PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6sql6-ibase
  firebird3.0-server-core firebird3.0-utils firebird-dev
  libusb-dev libjpeg-dev libgtest-dev libbenchmark-dev xvfb xauth
  "$@"
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
echo "firebird3.0-server shared/firebird/sysdba_password/first_install password masterkey" | $SUDO debconf-set-selections
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
