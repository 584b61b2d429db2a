#!/usr/bin/env python3
"""Reads every high byte alone and followed by every nonzero byte, in code
pages 936 and 950, through the POSIX layer and through Windows'
MultiByteToWideChar (the win64 build's codepage_dump under Wine), and prints
how many sequences give different UTF-16, with a sample of them.

usage: compare_code_pages.py POSIX_DUMP WINDOWS_DUMP_EXE WINE_RUN WINE_PREFIX WORK_DIR
Exits 77 (skipped) when the win64 build has no codepage_dump.exe."""
import collections
import os
import subprocess
import sys

CODE_PAGES = (936, 950)
SKIPPED = 77


def read(path):
    data = open(path, "rb").read()
    sequences = {}
    at = 0
    for lead in range(0x80, 0x100):
        for trail in range(0x100):
            count = data[at]
            at += 1
            sequences[(lead, trail)] = tuple(
                int.from_bytes(data[at + 2 * i:at + 2 * i + 2], "little") for i in range(count))
            at += 2 * count
    return sequences


def spelled(key):
    lead, trail = key
    return f"{lead:02X}{trail:02X}" if trail else f"{lead:02X}"


def units(sequence):
    return " ".join(f"{unit:04X}" for unit in sequence) or "-"


def compare(code_page, windows, posix):
    differ = [key for key in windows if windows[key] != posix[key]]
    print(f"code page {code_page}: {len(differ)} of {len(windows)} sequences differ")
    kinds = collections.Counter((len(windows[k]), len(posix[k])) for k in differ)
    for (w, p), n in sorted(kinds.items()):
        print(f"  {n} with {w} Windows unit(s) against {p} POSIX unit(s)")
    for key in differ[:40]:
        print(f"  {spelled(key)}: Windows {units(windows[key])}  POSIX {units(posix[key])}")
    return len(differ)


def main(posix_dump, windows_dump, wine_run, wine_prefix, work):
    if not os.path.exists(windows_dump):
        print(f"no {windows_dump}: build the win64 preset first")
        return SKIPPED
    os.makedirs(work, exist_ok=True)
    differences = 0
    for code_page in CODE_PAGES:
        posix_file = os.path.join(work, f"posix-{code_page}.bin")
        windows_file = os.path.join(work, f"windows-{code_page}.bin")
        subprocess.run([posix_dump, str(code_page), posix_file], check=True)
        subprocess.run([wine_run, wine_prefix, windows_dump, str(code_page), "Z:" + windows_file],
                       check=True, stdin=subprocess.DEVNULL)
        differences += compare(code_page, read(windows_file), read(posix_file))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:6]))
