#!/usr/bin/env python3
"""Checks the Windows program that players get (scripts/build-windows --release):
its size, its version record, its manifest and its debug link.

FARLAUNCH_WINDOWS_RELEASE names the program, FARLAUNCH_WINDOWS_RELEASE_VERSION
the version it was built with; without them the check is skipped (77)."""
import os
import re
import subprocess
import sys
import tempfile
import zlib

SKIPPED = 77
LARGEST = 8 * 1024 * 1024
TOOLS = "x86_64-w64-mingw32-"


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def section_names(path):
    return set(re.findall(r"^\s*\d+\s+(\S+)", run(TOOLS + "objdump", "-h", path), re.M))


def main():
    program = os.environ.get("FARLAUNCH_WINDOWS_RELEASE")
    version = os.environ.get("FARLAUNCH_WINDOWS_RELEASE_VERSION")
    if not program or not version:
        print("FARLAUNCH_WINDOWS_RELEASE(_VERSION) not set: scripts/test --windows builds it")
        return SKIPPED
    faults = []

    size = os.path.getsize(program)
    if size > LARGEST:
        faults.append(f"the program is {size} bytes, more than {LARGEST}")

    resources = run(TOOLS + "windres", "-i", program, "-O", "rc")
    numbers = (version.split(".") + ["0"] * 4)[:4]
    if not re.search(r"FILEVERSION " + r", ".join(numbers) + r"\n PRODUCTVERSION " + r", ".join(numbers) + r"\n",
                     resources):
        faults.append(f"no FILEVERSION/PRODUCTVERSION {','.join(numbers)}")
    for name in ("FileVersion", "ProductVersion"):
        if f'VALUE "{name}", "{version}"' not in resources:
            faults.append(f"no {name} string {version}")
    for name in ("ProductName", "CompanyName", "LegalCopyright"):
        if not re.search(f'VALUE "{name}", "[^"]+"', resources):
            faults.append(f"no {name} string")
    # Explorer finds the strings by the translation; the resource's own
    # language tag, the block's name and the translation must agree.
    # windres writes a LANGUAGE line where the language changes.
    tags = re.findall(r"LANGUAGE (\d+), (\d+)\n", resources[:resources.find(" VERSIONINFO")])
    tag = tags[-1] if tags else None
    block = re.search(r'BLOCK "([0-9a-fA-F]{4})([0-9a-fA-F]{4})"', resources)
    translation = re.search(r'VALUE "Translation", (0x[0-9a-fA-F]+), (\d+)', resources)
    if not (tag and block and translation):
        faults.append("the version record lacks its language tag, string block or translation")
    else:
        tagged = int(tag[1]) << 10 | int(tag[0])
        if not tagged == int(block.group(1), 16) == int(translation.group(1), 16):
            faults.append(f"languages differ: tag {tagged:#x}, block {block.group(1)}, "
                          f"translation {translation.group(1)}")
        if int(block.group(2), 16) != int(translation.group(2)):
            faults.append("the block's code page is not the translation's")

    manifest = re.search(r"\n1 24 /\* RT_MANIFEST \*/\nBEGIN\n(.*?)\nEND", resources, re.S)
    wanted = ('level=""asInvoker""', ">PerMonitorV2", ">true/pm<", "<longPathAware", ">true</longPathAware>",
              "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}")
    if not manifest:
        faults.append("no application manifest (resource 1 of type 24)")
    else:
        faults += [f"the manifest lacks {text}" for text in wanted if text not in manifest.group(1)]

    sections = section_names(program)
    if any(name.startswith(".debug_") for name in sections):
        faults.append("the program is not stripped")
    with tempfile.TemporaryDirectory() as scratch:
        link_path = os.path.join(scratch, "link")
        run(TOOLS + "objcopy", "--dump-section", ".gnu_debuglink=" + link_path, program, os.path.join(scratch, "copy"))
        link = open(link_path, "rb").read() if os.path.isfile(link_path) else b""
    name = link[:link.find(b"\0")].decode()
    checksum = int.from_bytes(link[-4:], "little")
    debug = os.path.join(os.path.dirname(program), name)
    if not link:
        faults.append("no debug link (.gnu_debuglink)")
    elif name != os.path.basename(program) + ".debug":
        faults.append(f"the debug link names {name}")
    elif not os.path.isfile(debug):
        faults.append(f"{debug}, which the debug link names, is missing")
    else:
        if zlib.crc32(open(debug, "rb").read()) != checksum:
            faults.append("the debug link's checksum is not that of " + name)
        if ".debug_info" not in section_names(debug):
            faults.append(name + " holds no debugging information")

    for fault in faults:
        print(f"{program}: {fault}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
