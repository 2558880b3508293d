#!/usr/bin/env python3
"""Writes the demo profile Kavoren.ini (CP932, CR LF, as the Win32 profile
functions leave it) and demo images drawn in the same 5 x 7 pixel font.

Each character cell is the glyph, one blank column on its right and one blank
row above and below it; the templates are whole cells, as a user cuts them
in the editor. Run it again after changing the font; the outputs are kept in
the repository so nothing is generated at run time.
"""
import os
import struct
import zlib

FONT = {
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11111", "00010", "00100", "00010", "00001", "10001", "01110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    ".": ["00", "00", "00", "00", "00", "11", "11"],
    ",": ["00", "00", "00", "00", "00", "01", "10"],
    "-": ["000", "000", "000", "111", "000", "000", "000"],
}

# Axis letters shown beside the numbers of a read-out; never registered, the
# areas leave them out.
LABELS = {
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "Z": ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
}

# A digital read-out: "X 12.500", "Y -3.250", "Z 0.000" stacked, each number
# at XYZ_NUMBER_LEFT in its line, the lines XYZ_PITCH rows apart.
XYZ = [("X", "12.500"), ("Y", "-3.250"), ("Z", "0.000")]
XYZ_NUMBER_LEFT = 14
XYZ_PITCH = 15

AREA_HEIGHT = 11  # a template (9 rows) must be lower than the area


def cell(ch):
    rows = FONT[ch]
    w = len(rows[0]) + 1
    blank = "0" * w
    return [blank] + [r + "0" for r in rows] + [blank]


def render(text, ink=(20, 20, 40), paper=(235, 235, 220), margin=2):
    # The scan stops once a window twice the last template's width no longer
    # fits, so an area keeps about two cells of room after its last glyph.
    cells = [cell(c) for c in text]
    width = margin + sum(len(c[0]) for c in cells) + 14
    pix = [[paper] * width for _ in range(AREA_HEIGHT)]
    x = margin
    for c in cells:
        for r, row in enumerate(c):
            for k, bit in enumerate(row):
                if bit == "1":
                    pix[r + 1][x + k] = ink
        x += len(c[0])
    return width, pix


def render_xyz(paper=(235, 235, 220)):
    lines = []
    for label, text in XYZ:
        w, pix = render(text)
        glyph = LABELS[label]
        for r, row in enumerate(glyph):
            line = [paper] * XYZ_NUMBER_LEFT
            for k, bit in enumerate(row):
                if bit == "1":
                    line[2 + k] = (20, 20, 40)
            pix[r + 2] = line + pix[r + 2]
        for r in (0, 1) + tuple(range(len(glyph) + 2, AREA_HEIGHT)):
            pix[r] = [paper] * XYZ_NUMBER_LEFT + pix[r]
        lines.append(pix)
    width = max(len(p[0]) for p in lines)
    out = []
    for i, pix in enumerate(lines):
        rows = [row + [paper] * (width - len(row)) for row in pix]
        out += rows
        if i + 1 < len(lines):
            out += [[paper] * width for _ in range(XYZ_PITCH - AREA_HEIGHT)]
    return width, out


def write_png(path, width, pix):
    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in pix)
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, len(pix), 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    open(path, "wb").write(png)


def write_ppm(path, width, pix):
    body = b"".join(bytes(v for p in row for v in p) for row in pix)
    open(path, "wb").write(b"P6\n%d %d\n255\n" % (width, len(pix)) + body)


def write_bmp(path, width, pix):
    stride = (width * 3 + 3) & ~3
    rows = b""
    for row in reversed(pix):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        rows += line + b"\x00" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, len(pix), 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    open(path, "wb").write(header + info + rows)


def profile():
    names = list(FONT)
    lines = ["[ARIALIST]", "LIST0=Counter", "[CHRGROPLIST]", "G0=Digits", "[ENDDATA]",
             "AREA=Counter", "FILENAME=", "コメント前=False", "刻み=0.5", "CSV=False",
             "[認識エリアCounter]", "CHRGROP= 0", "COMMENT=デモ用の表示", "LEFT=100", "TOP=100",
             "WIDTH=76", "HEIGHT=%d" % AREA_HEIGHT, "BWLEVELT=128", "区切り=,"]
    listed = []
    for ch in names:
        c = cell(ch)
        lines += ["[G0ChrDat%s]" % ch, "CHR=%s" % ch, "X=%d" % len(c[0]), "Y=%d" % len(c)]
        for r, row in enumerate(c):
            mask = sum(1 << k for k, bit in enumerate(row) if bit == "1")
            lines.append("BL%d= %d" % (r, mask))
        listed.append(ch)
        entry = "G0ALLCHR=" + "\\\\".join(listed)
        if "[Chr]" in lines:
            lines[lines.index("[Chr]") + 1] = entry
        else:
            lines += ["[Chr]", entry]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    open(os.path.join(here, "Kavoren.ini"), "wb").write(profile())
    samples = {"counter.png": "1234567890", "position.ppm": "12.34,-5.6", "small.bmp": "-0.5"}
    writers = {".png": write_png, ".ppm": write_ppm, ".bmp": write_bmp}
    for name, text in samples.items():
        w, pix = render(text)
        writers[os.path.splitext(name)[1]](os.path.join(here, name), w, pix)
        open(os.path.join(here, os.path.splitext(name)[0] + ".expected"), "w").write(text + "\n")
    w, pix = render_xyz()
    write_png(os.path.join(here, "xyz.png"), w, pix)


if __name__ == "__main__":
    main()
