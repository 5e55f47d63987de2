#!/bin/sh
# Run inside an X server (xvfb-run): starts the program under strace, chooses Help > Contents with
# the keyboard and waits until the help file has been opened. The trace is left for the caller.
# Usage: open_help_under_x.sh PROGRAM TRACE_FILE
set -eu
program=$1 trace=$2
# The time limit only guards against a hang; the program is ended below as soon as the help is open.
QT_QPA_PLATFORM=xcb timeout -k 2 60 strace -f -qq -s 4096 -o "$trace" -e trace=openat,readlink,readlinkat \
    "$program" >/dev/null 2>&1 &
tracer=$!
finish() {
    # Ending the program ends strace and timeout with it.
    # strace writes each line after the traced process id; the first line is the program's own.
    program_pid=$(head -n 1 "$trace" 2>/dev/null | cut -d ' ' -f 1)
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    wait "$tracer" 2>/dev/null || true
}
trap finish EXIT

wid=
for _ in $(seq 50); do
    wid=$(xdotool search --onlyvisible --name '^トリピン$' 2>/dev/null | head -n 1) || true
    [ -n "$wid" ] && break
    sleep 0.2
done
[ -n "$wid" ] || { echo "FAIL: the board window never appeared" >&2; exit 1; }

# The menus' access keys: ﾍﾙﾌﾟ(&H), then 目次(&C).
xdotool windowfocus --sync "$wid"
xdotool key alt+h
sleep 0.5
xdotool key c
for _ in $(seq 50); do
    grep -Eq 'tori\.hlp", O_RDONLY[^)]*\) = [0-9]' "$trace" 2>/dev/null && exit 0
    sleep 0.2
done
echo "FAIL: the help file was never opened" >&2
exit 1
