#!/usr/bin/env python3
"""Checks a built VANTREL.DLL against the allow-list of its imports.

Reads the DLL's import and export tables and data directories from objdump's
dump of its headers (the cross binutils read both PE32 and PE32+) and fails on
an imported DLL or function the list does not name, on an import by ordinal, on
exports other than exactly DllGetClassObject and DllCanUnloadNow, on a TLS
directory (callbacks run before DllMain on every thread) and on any C runtime
DLL other than msvcrt.dll.

usage: check-imports.py OBJDUMP DLL ALLOW-LIST
"""
import re
import subprocess
import sys

EXPORTS = {"DllGetClassObject", "DllCanUnloadNow"}
RUNTIME = re.compile(r"^(msvcr|msvcp|ucrtbase|vcruntime|api-ms-win-crt-|libstdc\+\+|libgcc|libwinpthread)", re.I)


def read_allow_list(path, x64):
    allowed = {}
    for line in open(path, encoding="utf-8"):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        dll, function, note = (line.split(None, 2) + [""])[:3]
        if "x64 only" in note and not x64:
            continue
        allowed.setdefault(dll.upper(), set()).add(function)
    return allowed


def read_headers(objdump, dll):
    dump = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    x64 = re.search(r"^Magic\s+020b", dump, re.M) is not None
    tls = re.search(r"^Entry 9 ([0-9a-f]+) ([0-9a-f]+)", dump, re.M)
    imports, current, in_imports = {}, None, False
    for line in dump.splitlines():
        if line.startswith("The Import Tables"):
            in_imports = True
        elif line.startswith("The ") and in_imports:
            in_imports = False
        if not in_imports:
            continue
        name = re.match(r"\s*DLL Name: (\S+)", line)
        if name:
            current = imports.setdefault(name.group(1).upper(), [])
            continue
        # "\t<hint-name rva>  <hint> <name>", or "<ordinal>  <ordinal>" by ordinal.
        entry = re.match(r"\t([0-9a-f]+)\s+(\d+)(?:\s+(\S+))?\s*$", line)
        if entry and current is not None:
            current.append(entry.group(3) or "#" + entry.group(2))
    exports = set(re.findall(r"^\s*\[\s*\d+\] (\S+)$", dump.split("[Ordinal/Name Pointer] Table")[-1], re.M)) \
        if "[Ordinal/Name Pointer] Table" in dump else set()
    return x64, tls, imports, exports


def main():
    objdump, dll, allow_list = sys.argv[1:4]
    x64, tls, imports, exports = read_headers(objdump, dll)
    allowed = read_allow_list(allow_list, x64)
    faults = []
    for library, functions in sorted(imports.items()):
        if RUNTIME.match(library) and library != "MSVCRT.DLL":
            faults.append(f"{library}: a C runtime other than msvcrt.dll")
        if library not in allowed:
            faults.append(f"{library}: a DLL the allow-list does not name ({', '.join(functions)})")
            continue
        for function in functions:
            if function not in allowed[library]:
                faults.append(f"{library}: {function} is not on the allow-list")
    if not imports:
        faults.append("no import table found: is this a DLL objdump can read?")
    if exports != EXPORTS:
        faults.append(f"exports {sorted(exports)}, expected exactly {sorted(EXPORTS)}")
    if tls is None or int(tls.group(1), 16) != 0 or int(tls.group(2), 16) != 0:
        faults.append("the DLL has a TLS directory (or objdump showed none of its data directories)")
    kind = "PE32+" if x64 else "PE32"
    if faults:
        print(f"{dll} ({kind}):")
        for fault in faults:
            print("  " + fault)
        return 1
    count = sum(len(functions) for functions in imports.values())
    print(f"{dll} ({kind}): {count} imports from {len(imports)} DLLs, all on the list; exports and TLS as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
