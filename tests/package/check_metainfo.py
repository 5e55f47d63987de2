#!/usr/bin/env python3
"""Checks the AppStream metainfo: appstreamcli finds nothing, even pedantically, beyond the upper-case letters that
the reverse-DNS id needs; every screenshot it names lies in the repository at the path its URL ends with; and its
newest release is the project's version.
Usage: check_metainfo.py APPSTREAMCLI METAINFO SOURCE_DIR VERSION"""

import os
import subprocess
import sys
import xml.etree.ElementTree as ET

RAW = "https://raw.githubusercontent.com/toripin/toripin/main/"


def main():
    appstreamcli, metainfo, source, version = sys.argv[1:]
    problems = []
    run = subprocess.run([appstreamcli, "validate", "--pedantic", "--no-net", metainfo], capture_output=True, text=True)
    tags = [line for line in run.stdout.splitlines() if line[:3] in ("E: ", "W: ", "I: ", "P: ")]
    if run.returncode != 0 or any(" cid-contains-uppercase-letter " not in line for line in tags):
        problems.append("appstreamcli validate --pedantic:\n" + run.stdout + run.stderr)
    root = ET.parse(metainfo).getroot()
    images = [image.text.strip() for image in root.iter("image")]
    if not images:
        problems.append("no screenshot")
    for url in images:
        if not url.startswith(RAW) or not os.path.isfile(os.path.join(source, url[len(RAW):])):
            problems.append(f"the screenshot {url} is not a file of the repository at {RAW}")
    release = root.find("releases/release").get("version")
    if release != version:
        problems.append(f"the newest release is {release}, the project's version {version}")
    if problems:
        sys.exit("\n".join(problems))
    print(f"metainfo ok: {len(images)} screenshots, release {release}")


if __name__ == "__main__":
    main()
