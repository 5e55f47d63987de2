#!/usr/bin/env python3
"""toripin-solve shows how far its long work has come on a terminal and nowhere else: a pipe and the
JSON output never see it; on a terminal the one line is rewritten in place and erased at the end,
and Ctrl+C ends the program at once, the line erased."""
import json
import os
import pty
import signal
import subprocess
import sys
import time

SOLVE = sys.argv[1]
# Three moves into 7 x 7 (a paste in the fuzz corpus): about a second's work; the start, counted, far longer.
ARGS = [SOLVE, "--figures", "--json", os.path.join(os.path.dirname(__file__), "fuzz_corpus", "pasted_7")]
LONG_ARGS = [SOLVE, "--size", "7", "--figures", "--json", "--memory", "2000", os.devnull]
ERASE = b"\r\x1b[K"
failures = []
first_shown = float("inf")  # the soonest any run showed its line, in seconds from its start


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def on_terminal(args, interrupt, ignoring=False):
    """Runs with standard error on a pseudo-terminal and standard output on a pipe, started with SIGINT
    ignored if `ignoring`. Returns the exit status, standard output, what the terminal received, the
    seconds the run took and, when interrupted as soon as progress shows, the seconds from the signal
    to the end."""
    global first_shown
    master, slave = pty.openpty()
    start = time.monotonic()
    ignore = (lambda: signal.signal(signal.SIGINT, signal.SIG_IGN)) if ignoring else None
    proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=slave, preexec_fn=ignore)
    os.close(slave)
    seen, sent = b"", None
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:  # the other end is closed
            break
        if not chunk:
            break
        if not seen:
            first_shown = min(first_shown, time.monotonic() - start)
        seen += chunk
        if interrupt and sent is None and ERASE in seen:
            proc.send_signal(signal.SIGINT)
            sent, shown = time.monotonic(), len(seen)
        elif ignoring and sent is not None and ERASE in seen[shown:]:  # on after an ignored SIGINT: SIGTERM
            proc.send_signal(signal.SIGTERM)
            ignoring = False
    out = proc.stdout.read()
    status = proc.wait(timeout=300)
    end = time.monotonic()
    os.close(master)
    return status, out, seen, end - start, (end - sent) if sent else None


# A pipe: no progress at all, and the answer as JSON.
piped = subprocess.run(ARGS, stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
check(piped.returncode == 0, f"exit status {piped.returncode} on pipes")
check(piped.stderr == b"", f"standard error on a pipe got {piped.stderr[:200]!r}")
figures = json.loads(piped.stdout)["figures"]
check(figures["reachable"] == 110164640, f"figures {figures}")

# A terminal: work that lasts shows the line, which changes in place and goes at the end; standard
# output is the same JSON.
status, out, seen, took, _ = on_terminal(ARGS, interrupt=False)
check(status == 0, f"exit status {status} on a terminal")
check(out == piped.stdout, "standard output differs when standard error is a terminal")
text = seen.decode("utf-8", "replace")
if took > 1.5:
    check("Finding reachable positions" in text and "Finding winnable positions" in text,
          f"no progress on the terminal in {took:.1f} s: {text[:300]!r}")
    check(seen.count(ERASE) >= 3, f"the line was not updated in {took:.1f} s: {seen!r}")
check(seen == b"" or (seen.startswith(ERASE) and seen.endswith(ERASE)), f"the line is not erased: {seen[-120:]!r}")
check(b"\n" not in seen, "the progress left the one line")

# Ctrl+C: the program ends by the signal, at once, and leaves the line empty. The signal comes as
# soon as the first line shows, close on the write of the line; a few tries give a race room to show.
for _ in range(5):
    status, out, seen, _, after = on_terminal(LONG_ARGS, interrupt=True)
    check(status == -signal.SIGINT, f"exit status {status} after SIGINT")
    check(b"Finding reachable positions" in seen, f"not the locale's language: {seen[:120]!r}")
    check(after is not None and after < 2.0, f"{after} s from SIGINT to the end")
    check(seen.endswith(ERASE), f"the line is left after SIGINT: {seen[-120:]!r}")
    check(out == b"", f"standard output after SIGINT: {out[:200]!r}")

# Started with SIGINT ignored, as nohup and a shell's background jobs start it: Ctrl+C changes nothing.
status, out, seen, _, after = on_terminal(LONG_ARGS, interrupt=True, ignoring=True)
check(status == -signal.SIGTERM, f"exit status {status} with SIGINT ignored, after SIGINT and SIGTERM")

# Short work ends before any line: none shows before half a second, however loaded the machine.
check(first_shown >= 0.5, f"the line showed after {first_shown:.2f} s")

sys.exit(1 if failures else 0)
