#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test Skarn Config.
# Idempotent: packages already present are left alone and apt is only asked
# when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
  qt6-svg-dev libqt6svg6 qt6-qpa-plugins qt6-wayland libgl-dev libglx-dev libopengl-dev
  qml6-module-qtquick qml6-module-qtquick-window qml6-module-qtqml-workerscript
  qml6-module-qttest qml6-module-qtqml qml6-module-qtqml-models
  libhidapi-dev libudev-dev libglib2.0-dev libglib2.0-bin libx11-dev gsettings-desktop-schemas
  xvfb xauth fonts-dejavu-core fonts-noto-cjk qt6-translations-l10n
  libxcb-xinput-dev xdotool g++-mingw-w64-x86-64 x11-xserver-utils dbus-daemon
  clang-format
  trayer desktop-file-utils appstream
  debhelper dpkg-dev lintian
  at-spi2-core python3-pyatspi
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# Wait for another apt run (an unattended upgrade) instead of failing.
apt_get=("${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600)
"${apt_get[@]}" update -qq
"${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}"
