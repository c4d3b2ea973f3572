#!/usr/bin/env python3
"""Sets the two compile times in a compiled help file to zero, so that one source gives
one file whatever the day: the one in the file header and the one in its #SYSTEM file.
Help viewers read neither.  Usage: clear_chm_times.py FILE.chm"""
import struct
import sys


def read_encint(data, pos):
    """The variable-length number of a directory entry: 7 bits a byte, high bit = more."""
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def main(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    if data[:4] != b"ITSF":
        sys.exit(f"{path}: not a compiled help file")
    data[0x10:0x14] = bytes(4)  # header time stamp
    content = struct.unpack_from("<Q", data, 0x58)[0]  # where the uncompressed files start

    # The directory lists each file as name, section, offset and length.
    entry = data.find(b"\x08/#SYSTEM", 0, content)
    if entry < 0:
        sys.exit(f"{path}: no #SYSTEM file")
    section, pos = read_encint(data, entry + 9)
    offset, pos = read_encint(data, pos)
    length, pos = read_encint(data, pos)
    if section != 0:
        sys.exit(f"{path}: #SYSTEM is compressed")

    # #SYSTEM: a version number, then records of code, length and data; code 10 is the
    # compile time.
    pos, end = content + offset + 4, content + offset + length
    while pos + 4 <= end:
        code, size = struct.unpack_from("<HH", data, pos)
        if code == 10:
            data[pos + 4:pos + 4 + size] = bytes(size)
        pos += 4 + size

    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
