#!/usr/bin/env python3
"""Checks the 32-bit plugin DLL the host loads, without running it."""
import re
import subprocess
import sys

import pefile

HANDLER_NAME = bytes.fromhex("D0A6BBB0CBD1CBF7")
FORBIDDEN_IMPORTS = ("cqapi.dll", "libgcc_s_", "libstdc++-6.dll", "libwinpthread-1.dll")


def first_return(objdump, path, pe, rva):
    start = pe.OPTIONAL_HEADER.ImageBase + rva
    out = subprocess.run([objdump, "-d", "--no-show-raw-insn", f"--start-address={start:#x}",
                          f"--stop-address={start + 4096:#x}", path],
                         check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        m = re.match(r"\s*[0-9a-f]+:\s+(ret\S*)\s*(\S*)", line)
        if m:
            return (m.group(1) + " " + m.group(2)).strip()
    return None


def read_exports(pe):
    """{(name bytes, ordinal): rva}, read from the export directory itself:
    pefile refuses to name exports whose names are not ASCII."""
    directory = pe.DIRECTORY_ENTRY_EXPORT.struct
    exports = {}
    for i in range(directory.NumberOfNames):
        name_rva = pe.get_dword_at_rva(directory.AddressOfNames + 4 * i)
        index = pe.get_word_at_rva(directory.AddressOfNameOrdinals + 2 * i)
        address = pe.get_dword_at_rva(directory.AddressOfFunctions + 4 * index)
        exports[(pe.get_string_at_rva(name_rva, 256), directory.Base + index)] = address
    if directory.NumberOfFunctions != directory.NumberOfNames:
        exports[(b"<unnamed>", 0)] = 0
    return exports


def main(path, objdump):
    failures = []
    if not path.endswith(".cqp.dll"):
        failures.append(f"file name {path} does not end in .cqp.dll")
    pe = pefile.PE(path)
    if pe.FILE_HEADER.Machine != pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]:
        failures.append("not an i386 image")
    if pe.OPTIONAL_HEADER.Magic != 0x10B:
        failures.append("not PE32")
    if not pe.is_dll():
        failures.append("not a DLL")

    exports = read_exports(pe)
    expected = {(b"info", 1), (HANDLER_NAME, 2)}
    if set(exports) != expected:
        failures.append(f"exports {sorted(exports)} are not exactly info@1 and the handler@2")
    else:
        checks = {(b"info", 1): "ret", (HANDLER_NAME, 2): "ret $0x14"}
        for key, wanted in checks.items():
            got = first_return(objdump, path, pe, exports[key])
            if got != wanted:
                failures.append(f"export {key[0]!r} returns with {got!r}, not {wanted!r}")

    imports = [entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    for dll in imports:
        if any(dll.startswith(bad) for bad in FORBIDDEN_IMPORTS):
            failures.append(f"imports {dll}")

    for failure in failures:
        print("FAIL:", failure)
    print("imports:", ", ".join(imports))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
