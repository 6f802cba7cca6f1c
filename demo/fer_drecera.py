#!/usr/bin/env python3
"""Writes a Windows shell link (.LNK) to a local file, as Windows lays one out:
header, a small target ID list, and LinkInfo with a volume ID and the ANSI base path.
    fer_drecera.py TARGET OUTPUT     e.g. 'K:\\DOCS\\Documents\\informe.txt' out.lnk
"""
import struct
import sys

CLSID = bytes([0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
               0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46])


def drecera(desti: str) -> bytes:
    flags = 0x1 | 0x2 | 0x80  # HasLinkTargetIDList, HasLinkInfo, IsUnicode
    capcalera = struct.pack('<I16sIIQQQIiIHHII', 0x4C, CLSID, flags, 0x20, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0)
    assert len(capcalera) == 76
    # ID list: a single terminator item is enough for readers that only skip it.
    id_list = struct.pack('<H', 2) + b'\x00\x00'
    volum = struct.pack('<IIII', 0x11, 3, 0x4B455631, 0x10) + b'\x00'
    base = desti.encode('cp850') + b'\x00'
    cap = 0x1C
    off_volum = cap
    off_base = off_volum + len(volum)
    off_sufix = off_base + len(base)
    cos = volum + base + b'\x00'
    info = struct.pack('<IIIIIII', cap + len(cos), cap, 1, off_volum, off_base, 0, off_sufix) + cos
    return capcalera + id_list + info + struct.pack('<I', 0)  # no StringData; ExtraData terminal block


if __name__ == '__main__':
    with open(sys.argv[2], 'wb') as f:
        f.write(drecera(sys.argv[1]))
