#!/bin/sh
# Installs the Debian packages that building, running and testing トリピン need, and the Japanese locale
# the tests read dates and times in. Idempotent: asks apt only when something is missing. Works as root
# or through sudo.
set -eu

packages="
  build-essential cmake ninja-build pkg-config dpkg-dev file
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-qpa-plugins qt6-wayland
  qt6-translations-l10n gstreamer1.0-plugins-base
  fonts-ipafont-gothic locales
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool xclip x11-utils x11-xserver-utils imagemagick optipng
  desktop-file-utils appstream
  python3 strace
  libx11-dev libxcb1-dev
  weston sway openbox mutter xwayland dbus at-spi2-core python3-pyatspi
  perl man-db debhelper lintian devscripts
"

missing=""
for p in $packages; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *" installed") ;;
    *) missing="$missing $p" ;;
  esac
done

has_ja_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'
}

[ -z "$missing" ] && has_ja_locale && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "setup: missing and neither root nor sudo is available:$missing ja_JP.UTF-8 locale" >&2
  exit 1
fi

if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  $as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  $as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
fi

if ! has_ja_locale; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  $as_root sh -c "grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
                  locale-gen >/dev/null"
fi
