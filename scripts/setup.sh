# Installs the Debian packages the build, the tests and the editor need.
# Sourced by run.sh and test.sh; installs only what is missing.

quillane_packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev lld pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev libharfbuzz-dev libwoff-dev libfontconfig-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n qt6-webengine-dev
  fonts-noto-cjk fonts-dejavu-core xvfb xauth chromium chromium-driver firefox-esr webkit2gtk-driver
  dpkg-dev file desktop-file-utils appstream shared-mime-info groff-base
  git xorg-sgml-doctools
  dbus-daemon at-spi2-core python3-pyatspi
)

quillane_install_missing() {
  local wanted=("${quillane_packages[@]}" "$@") missing=() pkg
  # Node.js brings npm (for the browser tests' axe-core) in Debian's packages
  # and in others that replace them; only a missing command asks for Debian's.
  command -v npm >/dev/null || wanted+=(nodejs npm)
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

# The browser tests' axe-core, at the version and checksum its lock file pins,
# into tests/browser/axe/node_modules; nothing is fetched when it is there.
quillane_install_axe() {
  local folder=tests/browser/axe
  local pinned installed=
  pinned=$(node -p "require('./$folder/package-lock.json').packages['node_modules/axe-core'].version")
  [ -f $folder/node_modules/axe-core/package.json ] &&
    installed=$(node -p "require('./$folder/node_modules/axe-core/package.json').version")
  [ "$installed" = "$pinned" ] && [ -f $folder/node_modules/axe-core/axe.min.js ] && return 0
  echo "Installing axe-core $pinned"
  npm ci --prefix $folder --ignore-scripts --no-audit --no-fund --loglevel=error
}
