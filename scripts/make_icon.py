#!/usr/bin/env python3
"""Draws the program's icon: a 32 x 32, 16-colour picture of a document cut
into three numbered slices by a pair of scissors' dashed line. Writes a .ico."""
import struct, sys

# The standard 16-colour palette (B, G, R, 0).
PALETTE = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
           (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
BLACK, DKRED, DKGRAY, GRAY, WHITE, BLUE, RED, YELLOW, TEAL = 0, 1, 8, 7, 15, 12, 9, 11, 6

W = H = 32
pix = [[None] * W for _ in range(H)]  # None = transparent

def rect(x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            pix[y][x] = c

def frame(x0, y0, x1, y1, c):
    for x in range(x0, x1 + 1):
        pix[y0][x] = c; pix[y1][x] = c
    for y in range(y0, y1 + 1):
        pix[y][x0] = c; pix[y][x1] = c

# Three slices of one page, drawn slightly apart: the file after the split.
slices = [(3, 2, 20, 10, 0), (6, 12, 23, 20, 1), (9, 22, 26, 30, 2)]
for x0, y0, x1, y1, n in slices:
    rect(x0 + 1, y0 + 1, x1 + 1, y1 + 1, DKGRAY)   # shadow
    rect(x0, y0, x1, y1, WHITE)
    frame(x0, y0, x1, y1, BLACK)
    for ly in range(y0 + 2, y1 - 1, 2):             # text lines
        for lx in range(x0 + 3, x1 - 6):
            pix[ly][lx] = BLUE if n != 1 else TEAL
    # the piece number as a red tab: .000 .001 .002
    rect(x1 - 4, y0 + 2, x1 - 2, y0 + 2 + n * 2, RED)
# the dashed cut line through the gaps
for x in range(0, 32, 3):
    for y in (11, 21):
        pix[y][x] = DKRED
        if x + 1 < 32: pix[y][x + 1] = DKRED
# a yellow arrow head at the right of the cuts
for i in range(4):
    for y in range(11 - i, 12 + i):
        pix[y][27 + i] = YELLOW
        pix[y + 10][27 + i] = YELLOW

def nearest(c):
    return c

xor = bytearray()
for y in range(H - 1, -1, -1):
    row = pix[y]
    for x in range(0, W, 2):
        a = row[x] if row[x] is not None else 0
        b = row[x + 1] if row[x + 1] is not None else 0
        xor.append((a << 4) | b)
andmask = bytearray()
for y in range(H - 1, -1, -1):
    bits = 0
    for x in range(W):
        bits = (bits << 1) | (1 if pix[y][x] is None else 0)
    andmask += struct.pack('>I', bits)
header = struct.pack('<IiiHHIIiiII', 40, W, H * 2, 1, 4, 0, len(xor) + len(andmask), 0, 0, 16, 0)
pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
image = header + pal + bytes(xor) + bytes(andmask)
ico = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', W, H, 16, 0, 1, 4, len(image), 22) + image
open(sys.argv[1], 'wb').write(ico)
