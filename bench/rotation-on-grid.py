#!/usr/bin/env python3
"""Copies a tiled AVIF with its rotation on the grid item alone, as HEIF has it.

    rotation-on-grid.py IN.avif OUT.avif

avifenc --grid --irot associates the irot property with every tile as well as with the grid, so a
reader would turn each tile and then the whole. Each tile's association with irot is pointed at
the tile's first property instead (a property twice changes nothing); sizes stay as they are."""
import sys

data = bytearray(open(sys.argv[1], "rb").read())


def number(at, size):
    return int.from_bytes(data[at:at + size], "big")


grid = number(data.find(b"pitm") + 8, 2)
irot, at = 1, data.find(b"ipco") + 4  # properties count from 1, in the order of the ipco box
while data[at + 4:at + 8] != b"irot":
    irot, at = irot + 1, at + number(at, 4)
ipma = data.find(b"ipma")
id_size = 2 if data[ipma + 4] < 1 else 4
index_size = 2 if data[ipma + 7] & 1 else 1
index_mask = 0x7FFF if index_size == 2 else 0x7F
at = ipma + 12
for _ in range(number(ipma + 8, 4)):
    item, count = number(at, id_size), data[at + id_size]
    at += id_size + 1
    first = at
    for _ in range(count):
        if item != grid and number(at, index_size) & index_mask == irot:
            data[at:at + index_size] = data[first:first + index_size]
        at += index_size
open(sys.argv[2], "wb").write(data)
