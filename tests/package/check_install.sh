#!/bin/sh
# Installs the build tree under a prefix, with and without DESTDIR, checks the installed layout, the
# hardening of the installed programs and module, the manual pages, and that the install manifest
# removes everything again, all in a folder with a space in its name; and --help and --version.
# Usage: check_install.sh BUILD_DIR LIBDIR BINDIR DATADIR MANDIR FORTIFY_PROBE|- RELEASE
# FORTIFY_PROBE is a program built with the project's flags that calls a libc function the
# fortified headers check; "-" where fortification is off (the sanitizer build).
set -eu
build=$1 libdir=$2 bindir=$3 datadir=$4 mandir=$5 probe=$6 release=$7
here=$(dirname "$0")
id=io.github.toripin.Toripin
work=$(mktemp -d "${TMPDIR:-/tmp}/toripin install.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Only the component our rules use: a plain `cmake --install` would overwrite install_manifest.txt,
# which a developer's earlier install may still need for uninstalling.
component=Unspecified
manifest="$build/install_manifest_$component.txt"

check_tree() {  # $1: the directory the prefix ends up in
    root=$1
    for f in "$libdir/toripin/toripin" "$libdir/toripin/libtoripin_sound.so" "$libdir/toripin/tori.hlp" \
             "$libdir/toripin/tada.wav" "$bindir/toripin-solve" "$datadir/applications/$id.desktop" \
             "$datadir/metainfo/$id.metainfo.xml" "$datadir/icons/hicolor/32x32/apps/$id.png" \
             "$datadir/icons/hicolor/scalable/apps/$id.svg" "$datadir/doc/toripin/copyright" \
             "$mandir/man6/toripin.6" "$mandir/man6/toripin-solve.6" \
             "$mandir/ja/man6/toripin.6" "$mandir/ja/man6/toripin-solve.6"; do
        [ -f "$root/$f" ] || fail "missing $f under $root"
    done
    [ -x "$root/$libdir/toripin/toripin" ] || fail "the program is not executable"
    [ -x "$root/$bindir/toripin-solve" ] || fail "toripin-solve is not executable"
    # The sound is installed once, beside the program, where the program looks for it.
    [ ! -e "$root/$datadir/toripin" ] || fail "$datadir/toripin is installed: $(ls "$root/$datadir/toripin")"
    link="$root/$bindir/toripin"
    [ -L "$link" ] || fail "$bindir/toripin is not a symbolic link"
    case $(readlink "$link") in
        /*) fail "the link is absolute: $(readlink "$link")" ;;
    esac
    [ "$(readlink -f "$link")" = "$(readlink -f "$root/$libdir/toripin/toripin")" ] ||
        fail "the link resolves to $(readlink -f "$link")"
}

# Straight into a prefix.
cmake --install "$build" --prefix "$work/prefix" --component "$component" >/dev/null
check_tree "$work/prefix"

# Hardened as Debian builds. hardening-check finds no checked call in these files, not for want of
# fortification: they call no fortifiable function themselves, and the copies in the inline code of
# the C++ library and Qt go to memory of a size unknown when compiling, which stays unchecked; the
# probe shows the headers at work. Control-flow marks are not asked for: the C library's start
# files of this system carry none, so no program linked here has them.
p=$work/prefix
hardening-check --nofortify --nocfprotection \
    "$p/$libdir/toripin/toripin" "$p/$libdir/toripin/libtoripin_sound.so" "$p/$bindir/toripin-solve" ||
    fail "the installed files are not hardened"
if [ "$probe" != - ]; then
    hardening-check "$probe" | grep -q "Fortify Source functions: yes" ||
        fail "the project's flags do not fortify libc calls: $(hardening-check -v "$probe")"
fi
readelf -d "$p/$libdir/toripin/libtoripin_sound.so" | grep -q 'NEEDED.*\[libc\.so\.' ||
    fail "the sound module is not linked against the C library"
for elf in "$p/$libdir/toripin/toripin" "$p/$libdir/toripin/libtoripin_sound.so" "$p/$bindir/toripin-solve"; do
    if readelf -d "$elf" | grep -Eq "RPATH|RUNPATH"; then fail "$elf keeps a run path"; fi
done

# The manual pages render cleanly, and the configured folders were filled in.
sh "$here/check_man.sh" "$p/$mandir/man6/toripin.6" "$p/$mandir/man6/toripin-solve.6" \
    "$p/$mandir/ja/man6/toripin.6" "$p/$mandir/ja/man6/toripin-solve.6"
if grep -n '@[A-Z_]*@' "$p/$mandir/man6/"* "$p/$mandir/ja/man6/"*; then fail "a placeholder is left in a page"; fi

# --help and --version answer with no display, as -h and -V do.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$p/$bindir/toripin" "$1" 2>&1 || echo "exit $?"; }
[ "$(run --version)" = "toripin $release" ] && [ "$(run -V)" = "toripin $release" ] || fail "toripin --version: $(run --version)"
run --help | grep -q "^Usage: toripin " && [ "$(run -h)" = "$(run --help)" ] || fail "toripin --help: $(run --help)"

# Uninstalling by the manifest leaves no file behind.
grep -q "$work/prefix/$bindir/toripin" "$manifest" || fail "the manifest does not list the link"
xargs -d '\n' rm -f -- < "$manifest"
left=$(find "$work/prefix" ! -type d)
[ -z "$left" ] || fail "left after uninstall: $left"

# Staged under DESTDIR, as packagers do.
DESTDIR="$work/stage" cmake --install "$build" --prefix /opt/toripin --component "$component" >/dev/null
check_tree "$work/stage/opt/toripin"
rm -f "$manifest"
echo "install tree ok"
