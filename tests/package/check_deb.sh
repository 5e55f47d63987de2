#!/bin/sh
# Builds the Debian package with dpkg-buildpackage from a scratch copy of the source tree, checks it
# with lintian and hardening-check, unpacks it and checks its control fields, its files and manual
# pages, and that the unpacked program starts and runs from its own directory, beside its help file
# and sound, and opens that help file.
# Usage: check_deb.sh SOURCE_DIR VERSION SANITIZE HELP_FILE
# HELP_FILE is the help file this build made, which the package's must equal.
# Exits with 77 (skipped) when SANITIZE is 1: the package is built apart from the build tree, with
# Debian's flags, so the sanitizer build would only build and check the same package again.
set -eu
source=$1 version=$2 sanitize=$3 help=$4
if [ "$sanitize" = 1 ]; then
    echo "skipped: the build without sanitizers checks the package"
    exit 77
fi
id=io.github.toripin.Toripin
ma=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# dpkg-buildpackage writes into debian/ and the package beside the tree, so it builds a copy: the
# files git knows of (tracked or new, not ignored), or, outside git, everything but build trees,
# whatever their names.
mkdir "$work/src"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$source" && git ls-files -z --cached --others --exclude-standard |
        tar --null -T - --ignore-failed-read -cf -) | tar -C "$work/src" -xf -
else
    tar -C "$source" --exclude-vcs --exclude='./build*' --exclude-tag-all=CMakeCache.txt -cf - . |
        tar -C "$work/src" -xf -
fi
(cd "$work/src" && dpkg-buildpackage -b -us -uc -J"$(nproc)") >"$work/build.log" 2>&1 ||
    { tail -50 "$work/build.log"; fail "dpkg-buildpackage failed (log above)"; }
deb=$(ls "$work"/toripin_*_"$(dpkg --print-architecture)".deb)
echo "built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Debian's checker: no error and no warning; the informational tags are shown.
lintian --pedantic --info --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian found errors or warnings"; }
if grep -E '^[EW]: ' "$work/lintian.log"; then fail "lintian found errors or warnings"; fi
grep -E '^[A-Z]: ' "$work/lintian.log" || echo "lintian: no tags"

# The control fields.
[ "$(dpkg-deb -f "$deb" Package)" = toripin ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
    fail "debian/changelog gives version $(dpkg-deb -f "$deb" Version), the project $version"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in fonts-ipafont-gothic qt6-translations-l10n qt6-wayland gstreamer1.0-plugins-base \
         libqt6widgets6 libqt6multimedia6 libc6; do
    echo "$depends" | grep -Eq "(^|, )$p( |,|$)" || fail "Depends lacks $p"
done
dpkg-deb -e "$deb" "$work/control"
for script in preinst postinst prerm postrm triggers; do
    [ ! -e "$work/control/$script" ] || fail "the package has a $script: $(cat "$work/control/$script")"
done

# The files: the commands in /usr/games, the program with its help file, sound and sound module in
# one private directory, and nothing in /usr/bin.
root="$work/root"
dpkg-deb -x "$deb" "$root"
appdir="$root/usr/lib/$ma/toripin"
for f in "usr/lib/$ma/toripin/toripin" "usr/lib/$ma/toripin/libtoripin_sound.so" \
         "usr/lib/$ma/toripin/tori.hlp" "usr/lib/$ma/toripin/tada.wav" usr/games/toripin-solve \
         "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
         "usr/share/icons/hicolor/32x32/apps/$id.png" "usr/share/icons/hicolor/scalable/apps/$id.svg" \
         usr/share/doc/toripin/copyright usr/share/doc/toripin/changelog.gz \
         usr/share/man/man6/toripin.6.gz usr/share/man/man6/toripin-solve.6.gz \
         usr/share/man/ja/man6/toripin.6.gz usr/share/man/ja/man6/toripin-solve.6.gz; do
    [ -f "$root/$f" ] || fail "the package lacks /$f"
done
for gone in usr/bin usr/share/toripin; do
    [ ! -e "$root/$gone" ] || fail "the package has /$gone: $(ls "$root/$gone")"
done
cmp "$appdir/tori.hlp" "$help" || fail "tori.hlp differs"
cmp "$appdir/tada.wav" "$source/resources/sound/tada.wav" || fail "tada.wav differs"
cmp "$root/usr/share/doc/toripin/copyright" "$source/resources/doc/copyright" || fail "copyright differs"
head -1 "$root/usr/share/doc/toripin/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not machine-readable"
file "$appdir/toripin" | grep -q "ELF.*executable" || fail "the program is no executable"
[ "$(readlink "$root/usr/games/toripin")" = "../lib/$ma/toripin/toripin" ] ||
    fail "usr/games/toripin points to $(readlink "$root/usr/games/toripin")"
for elf in "$appdir/toripin" "$appdir/libtoripin_sound.so" "$root/usr/games/toripin-solve"; do
    if readelf -d "$elf" | grep -Eq "RPATH|RUNPATH"; then fail "$elf keeps a run path"; fi
done
readelf -d "$appdir/libtoripin_sound.so" | grep -q 'NEEDED.*\[libc\.so\.' ||
    fail "the sound module is not linked against the C library"

# Hardened; fortification and control-flow marks as in check_install.sh, for the same reasons.
hardening-check --nofortify --nocfprotection \
    "$appdir/toripin" "$appdir/libtoripin_sound.so" "$root/usr/games/toripin-solve" ||
    fail "the packaged files are not hardened"

# The manual pages render cleanly and name the files where the package puts them.
here=$(dirname "$0")
sh "$here/check_man.sh" "$root"/usr/share/man/man6/*.6.gz "$root"/usr/share/man/ja/man6/*.6.gz
for page in "$root/usr/share/man/man6/toripin.6.gz" "$root/usr/share/man/ja/man6/toripin.6.gz"; do
    text=$(env LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$page" 2>/dev/null)
    for path in /usr/games/toripin "/usr/lib/$ma/toripin/tori.hlp" "/usr/lib/$ma/toripin/tada.wav"; do
        echo "$text" | grep -q "^ *$path\$" || fail "$page does not name $path"
    done
done

# Started headless through the link, the program stays up and runs from the unpacked directory,
# where its help file and sound lie beside it.
unset LD_LIBRARY_PATH
export QT_QPA_PLATFORM=offscreen
"$root/usr/games/toripin" >"$work/run.log" 2>&1 &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || { cat "$work/run.log"; fail "the program did not stay up"; }
exe=$(readlink "/proc/$pid/exe")
[ "$exe" = "$appdir/toripin" ] || fail "the process runs $exe"
[ -f "$(dirname "$exe")/tori.hlp" ] && [ -f "$(dirname "$exe")/tada.wav" ] ||
    fail "no help file or sound beside the running program"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=

# On an X server, the help command opens the help file beside the real program, and the program's
# own path resolves into the unpacked tree; nothing is read from the build or source trees.
env -u QT_QPA_PLATFORM xvfb-run -a sh "$here/open_help_under_x.sh" "$root/usr/games/toripin" "$work/trace" ||
    fail "the help command did not open the help file"
grep -E 'readlink(at)?\(.*"/proc/self/exe", "'"$appdir/toripin"'"' "$work/trace" >/dev/null ||
    fail "the program never resolved its own path to $appdir/toripin"
grep -F "openat(AT_FDCWD, \"$appdir/tori.hlp\", O_RDONLY" "$work/trace" | grep -Eq '\) = [0-9]+$' ||
    fail "the help file opened was not $appdir/tori.hlp: $(grep -F tori.hlp "$work/trace")"
if grep -E '(tori\.hlp|tada\.wav)"' "$work/trace" | grep -v "$root/" >/dev/null; then
    fail "help file or sound looked up outside the package: $(grep -E 'tori\.hlp|tada\.wav' "$work/trace")"
fi
if grep -F -e "$work/src/" -e "$source/" "$work/trace" >/dev/null; then
    fail "the packaged program touches the source tree: $(grep -F -e "$work/src/" -e "$source/" "$work/trace" | head -3)"
fi
echo "package ok"
