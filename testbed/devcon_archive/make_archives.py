#!/usr/bin/env python3
"""Stand-ins of the vendor's DevCon files for the tests.

The vendor's archive is a self-extracting program of 79,024 bytes. The stand-in unzip32.dll
serves its members by the name the download saves it as, so the stand-in archive needs only
that length: `make_archives.py FOLDER` writes it there as devcon_vendor.exe. `program` makes a
program file whose header names the machine it was built for. None of them is meant to run.
"""
import random
import struct
import sys
from pathlib import Path

ARCHIVE_LENGTH = 79024
I386 = 0x14C


def program(machine, length, seed):
    """A program file's header naming its machine, some varied code, then zeros."""
    pe_at = 0x80
    head = bytearray(0x200)
    head[0:2] = b"MZ"
    struct.pack_into("<I", head, 0x3C, pe_at)
    head[pe_at:pe_at + 6] = b"PE\0\0" + struct.pack("<H", machine)
    body = random.Random(seed).randbytes(min(12000, length - len(head)))
    image = bytes(head) + body
    return image + bytes(length - len(image))


if __name__ == "__main__":
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / "devcon_vendor.exe").write_bytes(program(I386, ARCHIVE_LENGTH, "stub"))
