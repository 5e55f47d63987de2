#!/bin/sh
# The checks a distribution runs before it ships the package, each on a fresh Debian 12 made from
# Debian's packages alone: sbuild builds the source package in a chroot that holds only
# build-essential and what debian/control asks for, and lintian checks the result; piuparts
# installs, removes and purges the package on a minimal system; autopkgtest runs debian/tests
# against the package installed on another. Needs Debian's mirror, root or sudo (for apt and
# piuparts) and about 2 GB free; the logs and the packages stay in build-dist/.
# Run before every release (README).
set -eu
cd "$(dirname "$0")/.."
start=$(date +%s)

if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "distribution-checks: piuparts needs root or sudo" >&2
  exit 1
fi
packages="sbuild mmdebstrap piuparts autopkgtest uidmap lintian dpkg-dev"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q " installed$" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "distribution-checks: installing$missing"
  $as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  $as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
fi
# sbuild and autopkgtest unpack their chroots in a user namespace, which maps the user's
# subordinate ids: adduser gives every user a range, but root has none.
user=$(id -un)
if ! grep -q "^$user:" /etc/subuid 2>/dev/null || ! grep -q "^$user:" /etc/subgid 2>/dev/null; then
  first=$(cat /etc/subuid /etc/subgid 2>/dev/null |
          awk -F: 'BEGIN { e = 100000 } $2 + $3 > e { e = $2 + $3 } END { print e }')
  ids="$first-$((first + 65535))"
  echo "distribution-checks: giving $user the subordinate ids $ids"
  $as_root usermod --add-subuids "$ids" --add-subgids "$ids" "$user"
fi

out=$(pwd)/build-dist
$as_root rm -rf "$out"
mkdir -p "$out"
version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg --print-architecture)
dsc="$out/toripin_$version.dsc"
deb="$out/toripin_${version}_$arch.deb"
cat >"$out/sources.list" <<EOF
deb http://deb.debian.org/debian bookworm main
deb http://deb.debian.org/debian bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF

# The source package, from the files git knows of (tracked or new, not ignored), as check_deb.sh
# takes them.
mkdir "$out/toripin-$version"
git ls-files -z --cached --others --exclude-standard | tar --null -T - --ignore-failed-read -cf - |
  tar -C "$out/toripin-$version" -xf -
(cd "$out" && dpkg-source -b "toripin-$version" >/dev/null)

chroots() {  # one to build in (build-essential), one minimal to install and test on
  mmdebstrap --variant=buildd bookworm "$out/bookworm-buildd.tar" "$out/sources.list" &&
    mmdebstrap --variant=minbase bookworm "$out/bookworm-minbase.tar.gz" "$out/sources.list"
}
build() {  # the build itself runs with no network: nothing is downloaded then
  (cd "$out" && sbuild --chroot-mode=unshare --chroot="$out/bookworm-buildd.tar" --dist=bookworm \
    --arch-any --no-arch-all --jobs=2 --no-run-lintian --no-run-piuparts --no-run-autopkgtest "$dsc")
}
check_lintian() {  # the source package and the binary ones: no error, no warning
  lintian --pedantic --info --fail-on error,warning "$dsc" "$deb" "$out/toripin-dbgsym_${version}_$arch.deb"
}
check_piuparts() {  # install, remove and purge; nothing left behind
  $as_root piuparts --basetgz="$out/bookworm-minbase.tar.gz" --keep-sources-list --distribution=bookworm \
    --no-upgrade-test "$deb"
}
check_autopkgtest() {  # -U: the chroot's package lists were left out of its tarball
  autopkgtest -U --output-dir="$out/autopkgtest" "$dsc" "$deb" -- \
    unshare --release=bookworm --arch="$arch" --tarball="$out/bookworm-minbase.tar.gz"
}

report=""
step() {  # $1: the step's name, $2: its function; its output goes to build-dist/NAME.log
  t=$(date +%s)
  status=0
  $2 >"$out/$1.log" 2>&1 || status=$?
  line="$1: $([ $status -eq 0 ] && echo passed || echo "FAILED with $status") in $(($(date +%s) - t)) s"
  report="$report$line
"
  echo "$line"
  if [ $status -ne 0 ]; then
    tail -40 "$out/$1.log"
    printf '\n%s' "$report"
    exit 1
  fi
}
step chroots chroots
step sbuild build
step lintian check_lintian
grep -E '^[A-Z]: ' "$out/lintian.log" || echo "lintian: no tags"
step piuparts check_piuparts
grep 'PASS:' "$out/piuparts.log"
step autopkgtest check_autopkgtest
cat "$out/autopkgtest/summary"

printf '\n%s' "$report"
echo "distribution checks passed in $(($(date +%s) - start)) s; logs and packages in $out"
