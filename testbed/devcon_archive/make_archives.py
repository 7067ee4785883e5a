#!/usr/bin/env python3
# The vendor's DevCon archive and other zip archives for the tests, written as Info-ZIP's
# genuine unzip32.dll reads them.
#
# The vendor's archive is a self-extracting program of 79,024 bytes whose zip holds
# i386/devcon.exe, ia64/devcon.exe and eula.txt. `make_archives.py FOLDER` writes there:
#   devcon_vendor.exe     that shape, its zip's offsets counted from the file's start;
#   devcon_encrypted.exe  the same length and members plus one encrypted member, whose
#                         password nobody is asked for in the tests;
#   encrypted.zip         plain.txt, and secret/first.txt and secret/second.txt encrypted with
#                         different passwords (FIRST_PASSWORD and another), so that the library,
#                         which tries the last password on the next member first, asks twice.
# `program` makes a program file whose header names the machine it was built for. None of them is
# meant to run. The zip writer is our own because Python's cannot encrypt.
import random
import struct
import sys
import zlib
from pathlib import Path

ARCHIVE_LENGTH = 79024
I386 = 0x14C
IA64 = 0x200
FIRST_PASSWORD = b"letmein"
# 2005-03-22 06:06:36 in the DOS format of zip headers.
DOS_TIME, DOS_DATE = (6 << 11) | (6 << 5) | 18, ((2005 - 1980) << 9) | (3 << 5) | 22


def program(machine, length, seed):
    # A program file's header naming its machine, some varied code, then zeros.
    pe_at = 0x80
    head = bytearray(0x200)
    head[0:2] = b"MZ"
    struct.pack_into("<I", head, 0x3C, pe_at)
    head[pe_at:pe_at + 6] = b"PE\0\0" + struct.pack("<H", machine)
    body = random.Random(seed).randbytes(min(12000, length - len(head)))
    image = bytes(head) + body
    return image + bytes(length - len(image))


def crc_step(crc, byte):
    return zlib.crc32(bytes([byte]), crc ^ 0xFFFFFFFF) ^ 0xFFFFFFFF


def encrypted(data, password, crc, seed):
    # PKWARE's traditional encryption: a 12-byte header whose last byte checks the password.
    keys = [0x12345678, 0x23456789, 0x34567890]

    def update(byte):
        keys[0] = crc_step(keys[0], byte)
        keys[1] = ((keys[1] + (keys[0] & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        keys[2] = crc_step(keys[2], keys[1] >> 24)

    for byte in password:
        update(byte)
    out = bytearray()
    for byte in random.Random(seed).randbytes(11) + bytes([crc >> 24]) + data:
        temp = (keys[2] | 2) & 0xFFFF
        out.append(byte ^ (((temp * (temp ^ 1)) >> 8) & 0xFF))
        update(byte)
    return bytes(out)


def zip_archive(members, start=0):
    # members: (name, content, password or None). Offsets count from start, where the zip
    # begins in its file.
    local, central = bytearray(), bytearray()
    for name, content, password in members:
        crc = zlib.crc32(content)
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        data = packer.compress(content) + packer.flush()
        flag = 0
        if password is not None:
            data, flag = encrypted(data, password, crc, name), 1
        fields = struct.pack("<HHHHHIIIH", 20, flag, 8, DOS_TIME, DOS_DATE, crc, len(data),
                             len(content), len(name))
        central += (b"PK\1\2" + struct.pack("<H", 20) + fields +
                    struct.pack("<HHHHII", 0, 0, 0, 0, 0, start + len(local)) + name.encode())
        local += b"PK\3\4" + fields + struct.pack("<H", 0) + name.encode() + data
    end = b"PK\5\6" + struct.pack("<HHHHIIH", 0, 0, len(members), len(members), len(central),
                                  start + len(local), 0)
    return bytes(local + central + end)


def self_extracting(members, length):
    # A program that carries the zip at its end, padded to the given length.
    stub_length = length - len(zip_archive(members))
    stub = program(I386, stub_length, "self-extractor")
    return stub + zip_archive(members, stub_length)


DEVCON = [("i386/devcon.exe", program(I386, 55808, "i386"), None),
          ("ia64/devcon.exe", program(IA64, 92672, "ia64"), None),
          ("eula.txt", b"DEVCON STAND-IN LICENCE\r\n", None)]

if __name__ == "__main__":
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / "devcon_vendor.exe").write_bytes(self_extracting(DEVCON, ARCHIVE_LENGTH))
    locked = DEVCON + [("extras/notes.txt", b"locked notes\r\n", b"nobody knows")]
    (out / "devcon_encrypted.exe").write_bytes(self_extracting(locked, ARCHIVE_LENGTH))
    (out / "encrypted.zip").write_bytes(zip_archive([
        ("plain.txt", b"not secret\r\n", None),
        ("secret/first.txt", b"first secret\r\n", FIRST_PASSWORD),
        ("secret/second.txt", b"second secret\r\n", b"other secret")]))
