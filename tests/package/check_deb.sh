#!/bin/sh
# Builds the Debian package from the build tree, unpacks it and checks its files, its Depends line and
# that the unpacked program starts and runs from its own directory, beside its help file and sound,
# and opens that help file.
# Usage: check_deb.sh BUILD_DIR SOURCE_DIR LIBDIR
set -eu
build=$1 source=$2 libdir=$3
id=io.github.toripin.Toripin
work=$(mktemp -d)
pid=
manifest="$build/install_manifest.txt"
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    # cpack rewrites the build tree's install manifest; a developer's own install may still need it.
    if [ -f "$work/manifest.saved" ]; then mv "$work/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The package goes to the scratch directory; the build tree is only read (cpack builds nothing).
[ -f "$manifest" ] && cp -p "$manifest" "$work/manifest.saved"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/toripin_*.deb)
echo "built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# The control fields.
[ "$(dpkg-deb -f "$deb" Package)" = toripin ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in fonts-ipafont-gothic qt6-translations-l10n qt6-wayland gstreamer1.0-plugins-base \
         libqt6widgets6 libqt6multimedia6 libc6; do
    echo "$depends" | grep -Eq "(^|, )$p( |,|$)" || fail "Depends lacks $p"
done

# The files.
root="$work/root"
dpkg-deb -x "$deb" "$root"
appdir="$root/usr/$libdir/toripin"
for f in "usr/$libdir/toripin/toripin" "usr/$libdir/toripin/libtoripin_sound.so" \
         "usr/$libdir/toripin/tori.hlp" "usr/$libdir/toripin/tada.wav" \
         "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
         "usr/share/icons/hicolor/32x32/apps/$id.png" "usr/share/icons/hicolor/scalable/apps/$id.svg" \
         usr/share/doc/toripin/copyright; do
    [ -f "$root/$f" ] || fail "the package lacks /$f"
done
cmp "$appdir/tori.hlp" "$source/resources/help/tori.hlp" || fail "tori.hlp differs"
cmp "$appdir/tada.wav" "$source/resources/sound/tada.wav" || fail "tada.wav differs"
file "$appdir/toripin" | grep -q "ELF.*executable" || fail "the program is no executable"
[ "$(readlink "$root/usr/bin/toripin")" = "../$libdir/toripin/toripin" ] ||
    fail "usr/bin/toripin points to $(readlink "$root/usr/bin/toripin")"
if readelf -d "$appdir/toripin" | grep -Eq "RPATH|RUNPATH"; then fail "the installed program keeps a run path"; fi
readelf -d "$appdir/libtoripin_sound.so" | grep -q 'NEEDED.*\[libc\.so\.' ||
    fail "the sound module is not linked against the C library"
[ ! -e "$root/usr/share/toripin" ] || fail "the package has /usr/share/toripin"

# Started headless through the link, the program stays up and runs from the unpacked directory,
# where its help file and sound lie beside it.
unset LD_LIBRARY_PATH
export QT_QPA_PLATFORM=offscreen
"$root/usr/bin/toripin" >"$work/run.log" 2>&1 &
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
here=$(dirname "$0")
env -u QT_QPA_PLATFORM xvfb-run -a sh "$here/open_help_under_x.sh" "$root/usr/bin/toripin" "$work/trace" ||
    fail "the help command did not open the help file"
grep -E 'readlink(at)?\(.*"/proc/self/exe", "'"$appdir/toripin"'"' "$work/trace" >/dev/null ||
    fail "the program never resolved its own path to $appdir/toripin"
grep -F "openat(AT_FDCWD, \"$appdir/tori.hlp\", O_RDONLY" "$work/trace" | grep -Eq '\) = [0-9]+$' ||
    fail "the help file opened was not $appdir/tori.hlp: $(grep -F tori.hlp "$work/trace")"
if grep -E '(tori\.hlp|tada\.wav)"' "$work/trace" | grep -v "$root/" >/dev/null; then
    fail "help file or sound looked up outside the package: $(grep -E 'tori\.hlp|tada\.wav' "$work/trace")"
fi
if grep -F -e "$build/" -e "$source/" "$work/trace" >/dev/null; then
    fail "the packaged program touches the build or source tree: $(grep -F -e "$build/" -e "$source/" "$work/trace" | head -3)"
fi
echo "package ok"
