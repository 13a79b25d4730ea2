# Installs the Debian packages the build, the tests and the editor need.
# Sourced by run.sh and test.sh; installs only what is missing.

quillane_packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev libharfbuzz-dev libwoff-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n qt6-webengine-dev
  fonts-noto-cjk fonts-dejavu-core xvfb xauth chromium chromium-driver firefox-esr webkit2gtk-driver
  dpkg-dev file desktop-file-utils appstream shared-mime-info groff-base
  git xorg-sgml-doctools
  dbus-daemon at-spi2-core python3-pyatspi
)

quillane_install_missing() {
  local wanted=("${quillane_packages[@]}" "$@") missing=() pkg
  for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
