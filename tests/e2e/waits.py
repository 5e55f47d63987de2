"""Waits with deadlines. Each deadline is written for an idle machine and allowed SLOW times as long, for a machine
whose two cores also run a build and other tests; a condition that comes at once costs nothing."""

import time

SLOW = 4


def patience(seconds):
    """How long a wait written for an idle machine may last."""
    return seconds * SLOW


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def wait_for(predicate, timeout=10.0, what="condition", poll=0.02):
    """Returns the predicate's first true value; fails once the timeout, times SLOW, has passed. what may be a callable,
    for a message that tells how things stand at the end."""
    deadline = time.monotonic() + patience(timeout)
    while True:
        result = predicate()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + (what() if callable(what) else what))
        time.sleep(poll)
