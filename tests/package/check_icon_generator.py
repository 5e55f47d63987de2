#!/usr/bin/env python3
"""Checks that the shipped icon files are what the icon generator makes, so neither is edited alone."""

import filecmp
import subprocess
import sys
import tempfile


def main():
    generator, shipped = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as fresh:
        subprocess.run([sys.executable, generator, fresh], check=True)
        names = ["toripin.png", "toripin.ico", "toripin.svg"]
        _, differ, missing = filecmp.cmpfiles(shipped, fresh, names, shallow=False)
    if differ or missing:
        sys.exit("regenerate the icons with make_icon.py: %s differ, %s missing" % (differ, missing))
    print("icons are up to date")


if __name__ == "__main__":
    main()
