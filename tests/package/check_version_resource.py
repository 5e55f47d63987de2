#!/usr/bin/env python3
"""Checks that the configured Windows version record says exactly what generated/version.h says."""

import re
import sys


def header_constants(path):
    text = open(path, encoding="utf-8").read()
    return dict(re.findall(r'constexpr std::string_view (k\w+) = "((?:[^"\\]|\\.)*)";', text))


def resource_values(path):
    text = open(path, encoding="utf-8").read()
    values = dict(re.findall(r'^\s*VALUE "(\w+)", "((?:[^"]|"")*)"\s*$', text, re.M))
    numeric = dict(re.findall(r"^(FILEVERSION|PRODUCTVERSION) ([\d,]+)\s*$", text, re.M))
    fixed = dict(re.findall(r"^(FILEOS|FILETYPE) (0x[0-9A-Fa-f]+)L?\s*$", text, re.M))
    translation = re.search(r'VALUE "Translation", (0x[0-9A-Fa-f]+), (0x[0-9A-Fa-f]+)', text)
    blocks = re.findall(r'BLOCK "(\w+)"', text)
    return values, numeric, fixed, translation, blocks


def main():
    constants = header_constants(sys.argv[1])
    values, numeric, fixed, translation, blocks = resource_values(sys.argv[2])
    expect = {
        "FileVersion": constants["kFileVersion"],
        "ProductVersion": constants["kFileVersion"],
        "ProductName": constants["kProductName"],
        "FileDescription": constants["kFileDescription"],
        "InternalName": constants["kInternalName"],
        "OriginalFilename": constants["kOriginalFilename"],
        "LegalCopyright": constants["kCopyright"],
    }
    problems = ["%s: resource has %r, version.h has %r" % (key, values.get(key), want)
                for key, want in expect.items() if values.get(key) != want]
    dotted = constants["kNumeric"].split(".")
    dotted += ["0"] * (4 - len(dotted))
    for key in ("FILEVERSION", "PRODUCTVERSION"):
        if numeric.get(key) != ",".join(dotted):
            problems.append("%s is %r, version.h says %s" % (key, numeric.get(key), constants["kNumeric"]))
    if {k: int(v, 16) for k, v in fixed.items()} != {"FILEOS": 4, "FILETYPE": 1}:
        problems.append("FILEOS/FILETYPE are %r" % fixed)
    if not translation or (int(translation[1], 16), int(translation[2], 16)) != (0x0411, 0x04B0):
        problems.append("Translation is not 0x0411, 0x04B0")
    if "041104B0" not in blocks:
        problems.append("no string block 041104B0")
    if problems:
        sys.exit("\n".join(problems))
    print("version record matches version.h")


if __name__ == "__main__":
    main()
