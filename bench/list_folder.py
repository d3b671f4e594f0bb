#!/usr/bin/env python3
"""The least a folder listing does, as a plain script: every entry whose name
ends in .tdr is opened, its first 44 bytes are read and unpacked as eleven
little-endian 32-bit words, and one tab-separated line is printed per file.
Used as the yardstick for `ondalis --list FOLDER`."""
import os
import struct
import sys


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: list_folder.py FOLDER\n")
        return 2
    out = []
    with os.scandir(sys.argv[1]) as entries:
        for entry in entries:
            if not entry.name.lower().endswith(".tdr"):
                continue
            with open(entry.path, "rb") as f:
                header = f.read(44)
            if len(header) != 44:
                continue
            words = struct.unpack("<11i", header)
            out.append(entry.name + "\t" + "\t".join(map(str, words)) + "\n")
    sys.stdout.write("".join(out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
