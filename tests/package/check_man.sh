#!/bin/sh
# Renders installed manual pages as man does for a reader, in a UTF-8 and in the Japanese locale, and
# fails on any warning from the formatter, on a page without its title line, and, in a Japanese
# page, on a space between two Japanese characters: roff makes one of every line break, so a
# paragraph broken across lines in the source would show gaps in its sentences. Each page is also
# rendered from outside a manual tree, where man cannot tell its language from the path.
# Usage: check_man.sh PAGE...   (pages under .../ja/man6/ are the Japanese ones)
set -eu
fail() { echo "FAIL: $*" >&2; exit 1; }
elsewhere=$(mktemp -d)
trap 'rm -rf "$elsewhere"' EXIT
# Kanji, kana (full and half width, but not the middle dot), the ideographic comma and full stop,
# and the full-width letters and digits; not the brackets, which may hold a space.
japanese='[\x{4E00}-\x{9FFF}\x{3041}-\x{309F}\x{30A0}-\x{30FA}\x{30FC}-\x{30FF}\x{FF66}-\x{FF9F}\x{3001}\x{3002}\x{FF10}-\x{FF5A}]'

[ $# -gt 0 ] || fail "no pages given"
for page in "$@"; do
    [ -f "$page" ] || fail "no page $page"
    name=$(basename "$page" | sed 's/\.6\(\.gz\)\{0,1\}$//')
    title=$(echo "$name" | tr '[:lower:]' '[:upper:]')
    copy=$elsewhere/$(basename "$page")
    cp "$page" "$copy"
    for file in "$page" "$copy"; do
        for locale in C.UTF-8 ja_JP.UTF-8; do
            out=$(env -u LANGUAGE LC_ALL=$locale MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null) ||
                fail "man could not render $file under $locale: $out"
            [ -z "$out" ] || fail "man warns on $file (from $page) under $locale: $out"
            env -u LANGUAGE LC_ALL=$locale MANWIDTH=80 man -l "$file" 2>/dev/null | head -1 |
                grep -q "^$title(6) " || fail "$file under $locale does not start with $title(6)"
        done
    done
    rm "$copy"
    case $page in
        */ja/man6/*)
            gaps=$(env -u LANGUAGE LC_ALL=ja_JP.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null |
                   LC_ALL=C.UTF-8 grep -P "$japanese $japanese" || true)
            [ -z "$gaps" ] || fail "spaces inside Japanese text of $page:
$gaps" ;;
    esac
done
echo "manual pages ok: $#"
