#!/usr/bin/env python3
"""Writes stand-ins of the vendor's DevCon archive for the tests, into the folder given.

The vendor's archive is a self-extracting program: a program stub followed by zip data holding
i386/devcon.exe (55,808 bytes, built for i386), ia64/devcon.exe (92,672 bytes, built for
Itanium) and eula.txt, 79,024 bytes in all. The stand-ins have that layout, and the variants
depart from it one way each. None of their programs is meant to run.
"""
import random
import struct
import sys
import zlib
from pathlib import Path

ARCHIVE_LENGTH = 79024
I386, IA64, AMD64 = 0x14C, 0x200, 0x8664
LICENCE = (b"DEVCON STAND-IN LICENCE\r\n\r\n"
           b"This text stands in for the licence terms that come with the tool.\r\n")


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


def dos_time():
    return (12 << 11) | (0 << 5), ((2005 - 1980) << 9) | (3 << 5) | 22


class Crypt:
    """Traditional PKWARE encryption."""

    def __init__(self, password):
        self.keys = [0x12345678, 0x23456789, 0x34567890]
        for c in password:
            self.update(c)

    @staticmethod
    def crc(value, byte):
        return zlib.crc32(bytes([byte]), value ^ 0xFFFFFFFF) ^ 0xFFFFFFFF

    def update(self, c):
        k = self.keys
        k[0] = self.crc(k[0], c)
        k[1] = ((k[1] + (k[0] & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        k[2] = self.crc(k[2], k[1] >> 24)

    def encrypt(self, data):
        out = bytearray()
        for p in data:
            t = (self.keys[2] | 2) & 0xFFFF
            out.append(p ^ (((t * (t ^ 1)) >> 8) & 0xFF))
            self.update(p)
        return bytes(out)


def zip_data(members, base):
    """Zip data whose offsets count from the file's start, base bytes before it."""
    local, central = bytearray(), bytearray()
    time, date = dos_time()
    for name, content, method, password in members:
        name = name.encode()
        crc = zlib.crc32(content)
        if method == 8:
            packer = zlib.compressobj(9, zlib.DEFLATED, -15)
            stored = packer.compress(content) + packer.flush()
        else:
            stored = content
        flags = 0
        if password is not None:
            flags = 1
            header = random.Random(name).randbytes(11) + bytes([crc >> 24])
            stored = Crypt(password.encode()).encrypt(header + stored)
        offset = base + len(local)
        fields = struct.pack("<HHHHHIII", 20, flags, method, time, date, crc, len(stored),
                             len(content))
        local += b"PK\x03\x04" + fields + struct.pack("<HH", len(name), 0) + name + stored
        central += (b"PK\x01\x02" + struct.pack("<H", 20) + fields +
                    struct.pack("<HHHHHII", len(name), 0, 0, 0, 0, 0, offset) + name)
    end = b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, len(members), len(members),
                                      len(central), base + len(local), 0)
    return bytes(local + central + end)


def self_extracting(members, length=ARCHIVE_LENGTH):
    """A stub program padded so that stub and zip data make exactly length bytes."""
    size = len(zip_data(members, 0))
    stub = program(I386, length - size, "stub")
    return stub + zip_data(members, len(stub))


def vendor_members(i386=None, ia64=None, licence=True):
    members = [
        ("i386/devcon.exe", i386 or program(I386, 55808, "i386"), 8, None),
        ("ia64/devcon.exe", ia64 or program(IA64, 92672, "ia64"), 8, None),
    ]
    if licence:
        members.append(("eula.txt", LICENCE, 8, None))
    return members


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    vendor = self_extracting(vendor_members())
    damaged = bytearray(vendor)
    # The central directory's end record no longer says what it is.
    damaged[len(damaged) - 22:len(damaged) - 18] = b"XXXX"
    archives = {
        "devcon_vendor.exe": vendor,
        "devcon_short.exe": vendor[:-1],
        "devcon_long.exe": vendor + b"\0",
        "devcon_no_eula.exe": self_extracting(vendor_members(licence=False)),
        # An i386 build one byte long, and an x64 build where the Itanium one was.
        "devcon_other_lengths.exe": self_extracting(vendor_members(
            i386=program(I386, 55809, "i386"), ia64=program(AMD64, 70000, "amd64"))),
        "devcon_damaged.exe": bytes(damaged),
        # For the extraction tests: stored and deflated members in folders, and two encrypted
        # members under the password "letmein".
        "folders.exe": self_extracting([
            ("top.txt", b"top level\r\n", 0, None),
            ("one/two/deep.txt", b"deep " * 200, 8, None),
            ("one/empty/", b"", 0, None),
        ], 4096),
        "encrypted.exe": self_extracting([
            ("plain.txt", b"not secret\r\n", 8, None),
            ("secret/first.txt", b"first secret\r\n", 8, "letmein"),
            ("secret/second.txt", b"second secret\r\n", 0, "letmein"),
        ], 4096),
    }
    for name, data in archives.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
