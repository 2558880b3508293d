#!/usr/bin/env python3
"""Writes the seed inputs of the fuzzers into fuzz/corpus/<fuzzer>/.

Each seed is laid out as its fuzzer reads its bytes (see the comment at the
top of each fuzzer); the hand-made seeds are the files named seed-*. The
other files are inputs that longer fuzzing runs found and merged in (see the
README); after a change of layout they mean something else and should go.
"""
import hashlib
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLE = os.path.join(HERE, "..", "examples", "Kavoren.ini")


def text(s):
    """A text in the fuzzers' form: length, then ASCII bytes or 0xF0 + UTF-16 unit."""
    units = s.encode("utf-16-le", "surrogatepass")
    codes = [struct.unpack("<H", units[i:i + 2])[0] for i in range(0, len(units), 2)]
    assert len(codes) < 32, s
    out = bytes([len(codes)])
    for c in codes:
        out += bytes([c]) if c < 0x80 else bytes([0xF0]) + struct.pack("<H", c)
    return out


def sjis(s):
    return s.encode("cp932")


def write(section, key, value):
    return bytes([1]) + text(section) + text(key) + text(value)


def read(section, key):
    return bytes([0]) + text(section) + text(key)


def has(section):
    return bytes([3]) + text(section)


def profile_seed(file_bytes, *ops):
    return struct.pack("<H", len(file_bytes)) + file_bytes + b"".join(ops)


def image(width, height, dark_cells=(), dark=0x20, light=0xF0):
    pixels = bytearray([light] * (width * height))
    for x, y in dark_cells:
        if 0 <= x < width and 0 <= y < height:
            pixels[y * width + x] = dark
    return bytes([width, height]) + bytes(pixels)


def cells(rows, width, x0=0, y0=0):
    """The ink cells of a template drawn with its top left at (x0, y0)."""
    return [(x0 + c, y0 + r) for r, mask in enumerate(rows) for c in range(width) if mask >> c & 1]


def example_templates():
    """name -> (width, rows) of the example profile's group 0."""
    out, name, width = {}, None, 0
    for line in open(EXAMPLE, "rb").read().decode("cp932").splitlines():
        if line.startswith("[G0ChrDat"):
            name = line[len("[G0ChrDat"):-1]
            out[name] = (0, [])
        elif name and line.startswith("X="):
            out[name] = (int(line[2:]), out[name][1])
        elif name and line.startswith("BL"):
            out[name][1].append(int(line.split("=")[1]))
    return out


def save(fuzzer, seeds):
    folder = os.path.join(HERE, "corpus", fuzzer)
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if old.startswith("seed-"):
            os.remove(os.path.join(folder, old))
    for data in seeds:
        name = "seed-" + hashlib.sha1(data).hexdigest()[:16]
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def profile_seeds():
    example = open(EXAMPLE, "rb").read()
    area = "認識エリアCounter"
    hand_edited = (b"; written by hand\r\n\r\n  [ ENDDATA ]  trailing\r\nAREA = Counter \r\n"
                   b"csv='True'\r\n\r\n[enddata]\r\nAREA=second\r\n[S]\rk=1\rK=2\r"
                   b"no equals sign\n=empty key\n;k=comment\n[T]\nk=\"quoted\"\nnul=a\x00b\n"
                   b"\x83\x5d=trail\n[\x83\x5d]\nx=1")
    utf8 = "\ufeff[ENDDATA]\r\nAREA=日本語\r\n[Chr]\r\nG0ALLCHR=ア\\\\イ\r\n".encode("utf-8")
    long_value = b"[S]\r\nk=" + b"x" * 253 + "表".encode("cp932") + b"yy\r\n"

    def utf16(text, order="le"):
        """A file as Notepad saves it as "Unicode" (or "Unicode big endian")."""
        return (b"\xff\xfe" + text.encode("utf-16-le", "surrogatepass") if order == "le"
                else b"\xfe\xff" + text.encode("utf-16-be", "surrogatepass"))

    example_text = example.decode("cp932")
    utf16_hand = ("; 手で書いた\n[ENDDATA]\nAREA = カウンタ \n odd \ud800 line\n[S]\rk=a\udc00\r"
                  "[ゾ]\nx=\ufeff1\n[Chr]\nG0ALLCHR=" + "ア\\\\" * 70 + "イ\n"
                  "[Path]\nFILENAME=C:\\" + "d" * 200 + "\\out.csv")
    return [
        profile_seed(example, read("ENDDATA", "AREA"), write("ENDDATA", "AREA", "Counter2"),
                     write(area, "区切り", " "), write(area, "COMMENT", "'quoted'"),
                     write("Chr", "g0allchr", "0\\\\1"), read(area, "left")),
        profile_seed(example, write(area, "COMMENT", "café"), read("ENDDATA", "刻み"),
                     write("G0ChrDat1", "BL9", " 31"), write("New", "key", "\t")),
        profile_seed(hand_edited, write("enddata", "area", "x"), write("S", "k", "3"),
                     write("T", "new", "v"), read("T", "nul"), write("ゾ", "x", "2"),
                     write("S]", "k", "bad"), write("S", "k=", "bad"), write("S", "k", "a\r\nb")),
        profile_seed(utf8, write("Chr", "G0ALLCHR", "ア\\\\イ\\\\ウ"), read("ENDDATA", "AREA"),
                     write("ENDDATA", "コメント前", "True")),
        profile_seed(b"", write("Tirelma", "Top", "2040"), write("Tirelma", "Left", "3000"),
                     write("ENDDATA", "CSV", "False"), has("tirelma")),
        profile_seed(b"[S]\nk=1", write("S", "j", "2"), write("U", "k", "～〜")),
        profile_seed(long_value, read("S", "k"), write("S", "k", "ー" * 30)),
        profile_seed(b"[S]\r\n\x80\xff\xfc=raw\r\nk=\x81\r\n", write("S", "k", "é"), read("S", "k")),
        profile_seed(utf16(example_text), read("ENDDATA", "AREA"), write(area, "COMMENT", "10〜20"),
                     write("New", "key", "café"), write("G0ChrDat1", "BL9", " 31")),
        profile_seed(utf16(utf16_hand), write("enddata", "area", "x"), read("Chr", "G0ALLCHR"),
                     write("Chr", "G0ALLCHR", "ア\\\\イ"), write("S", "k", "\U0001F600"),
                     read("Path", "filename"), write("ゾ", "y", "'q'"), has("s")),
        profile_seed(utf16("\ufeff[S]\r\nk=1\r\n"), write("S", "k", "2"), write("T", "k", "3")),
        profile_seed(b"\xff\xfe", write("S", "k", "1")),
        profile_seed(utf16("[S]\r\nk=1\r\n", "be"), read("S", "k"), write("S", "k", "2")),
        profile_seed(utf16("[S]\r\nk=1\r\n") + b"\x41", read("S", "k"), write("S", "k", "2")),
        profile_seed(b"\xff\xfe\x00\x00[\x00\x00\x00", has("["), write("S", "k", "2")),
    ]


def profile_utf16_seeds():
    """The UTF-16 profile seeds in profile_utf16_fuzzer's form: a byte (0xFF
    keeps an odd length), the length, the body after the mark, the operations."""
    seeds = []
    for seed in profile_seeds():
        length = struct.unpack("<H", seed[:2])[0]
        body, ops = seed[2:2 + length], seed[2 + length:]
        if body.startswith(b"\xff\xfe"):
            body = body[2:]
        elif body.startswith(b"\xfe\xff"):
            continue
        else:
            body = body.decode("cp932", "replace").encode("utf-16-le")
        seeds.append(bytes([0xFF if len(body) % 2 else 0]) + struct.pack("<H", len(body)) + body + ops)
    return seeds


def result_seeds():
    """Result files in result_fuzzer's form: how the file starts (0 nothing,
    1 UTF-8 mark, 2 UTF-16 LE mark, 3 UTF-16 BE mark, 4 and 5 UTF-32), the
    body's length and bytes, then lines."""
    def seed(start, body, *lines):
        return bytes([start, len(body)]) + body + b"".join(text(line) for line in lines)

    return [
        seed(0, b"", "1234567890,upper", "12.5,上のカウンタ"),
        seed(0, "1,古い行\r\n".encode("cp932"), "10〜20 −3", "café"),
        seed(0, b"1,no break", "2"),
        seed(0, "値,備考\r\n".encode("utf-8"), "12.5,upper", "12.5,上"),
        seed(0, b"1\r\n", "ﾃｩ", "ｱ"),
        seed(0, b"x\x00\r\x00", "1"),
        seed(1, "値\r\n".encode("utf-8"), "café 温度", "\U0001F600"),
        seed(1, b"x", "y"),
        seed(2, "値\t備考\r\n".encode("utf-16-le"), "1234567890,café 温度", "\ud800"),
        seed(2, "x\n".encode("utf-16-le"), "y"),
        seed(2, b"x\x00\r", "1"),
        seed(3, "1\r\n".encode("utf-16-be"), "2"),
        seed(4, b"x\x00\x00\x00", "1"),
    ]


def number_seeds():
    texts = [" 3", "12abc", "-1.25e+3x", "1e", "1e+", ".5", "-.5", "+7.", "2.5", "3.5", "-2.5",
             "\t 42", "1e400", "-1e-400", "0." + "0" * 330 + "1", "1" + "0" * 330 + "e-20",
             "4e-320", "0x10", "inf", "nan", "1,5", " - 5", "", "abc", "32767.5", "-32768.5",
             "2147483647.5", "-2147483648.5", "1e15", "123456789012345678901234567890"]
    doubles = [2.5, 3.5, -2.5, -0.5, 0.5, 1.5, 0.49999999999999994, 2147483647.5,
               -2147483648.5, 2147483648.0, 32767.5, -32768.5, 32768.0, 1e300, float("inf"),
               float("nan"), 5e-324, -0.0, 4503599627370497.0]
    seeds = []
    for i, t in enumerate(texts):
        seeds.append(struct.pack("<d", doubles[i % len(doubles)]) + t.encode("ascii"))
    seeds.append(b"5\xff10\xff1\xff-\xff\xc1\xc0\xffB\xffa\xff")
    return seeds


def loader_seeds():
    example = open(EXAMPLE, "rb").read()
    templates = example_templates()
    seeds = []
    # The example group drawn: "12.5" and "-0,9" across a picture as tall as the area.
    for group_byte, answer in ((0xFF, "12.5"), (0, "-0,9")):
        ink, x = [], 1
        for ch in answer:
            w, rows = templates[ch]
            ink += cells(rows, w, x, 1)
            x += w
        seeds.append(bytes([group_byte, 0]) + image(x + 4, 11, ink) + example)
    # Hand-edited templates: too wide, no height, rows too large, a missing
    # section, a group with a two-digit number, negative rows.
    odd = sjis("[ENDDATA]\r\nAREA=A\r\n刻み=0.5\r\n[認識エリアA]\r\nCHRGROP= 12\r\n区切り=/\r\n"
               "[Chr]\r\nG12ALLCHR=a\\\\b\\\\c\\\\d\\\\e\\\\f\r\n"
               "[G12ChrData]\r\nCHR=a\r\nX=31\r\nY=2\r\n"
               "[G12ChrDatb]\r\nCHR=b\r\nX=3\r\nY=0\r\n"
               "[G12ChrDatc]\r\nCHR=c\r\nX=2\r\nY=2\r\nBL0=1e10\r\nBL1=3\r\n"
               "[G12ChrDate]\r\nCHR=e\r\nX=2.5\r\nY=1\r\n"
               "[G12ChrDatf]\r\nCHR=f\r\nX= 3\r\nY= 2\r\nBL0=-1\r\nBL1= 5\r\n")
    seeds.append(bytes([0xFF, 1]) + image(12, 4, cells([7, 5], 3, 2, 0)) + odd)
    seeds.append(bytes([12, 3]) + image(20, 3, cells([7, 5], 3, 0, 0) + cells([7, 5], 3, 3, 0)) + odd)
    # A template as tall as the picture and one a row less.
    tall = b"[Chr]\r\nG0ALLCHR=t\\\\s\r\n[G0ChrDatt]\r\nCHR=t\r\nX=2\r\nY=4\r\nBL0=3\r\nBL3=3\r\n" \
           b"[G0ChrDats]\r\nCHR=s\r\nX=1\r\nY=3\r\nBL0=1\r\nBL1=1\r\nBL2=1\r\n"
    seeds.append(bytes([0, 0]) + image(10, 4, [(2, 0), (2, 1), (2, 2), (6, 0), (7, 0)]) + tall)
    return seeds


def matcher_seeds():
    def template(width, rows):
        return bytes([width, len(rows)]) + b"".join(struct.pack("<i", r) for r in rows)

    one = [0b010, 0b011, 0b010, 0b111]
    seven = [0b111, 0b100, 0b010, 0b010]
    seeds = []
    # Two glyphs with a gap, a probe at the first.
    ink = cells(one, 3, 0, 0) + cells(seven, 3, 5, 0)
    seeds.append(bytes([2]) + template(3, one) + template(3, seven) + bytes([0]) +
                 image(12, 5, ink) + bytes([12]) + bytes([0, 0, 12, 10, 0, 10, 0, 12, 10, 1]))
    # The same glyph with one pixel flipped: a near-fit only.
    ink = cells(one, 3, 1, 0)
    ink.remove((1 + 1, 0))
    seeds.append(bytes([1]) + template(3, one) + bytes([0]) + image(8, 5, ink) + bytes([8]) +
                 bytes([2, 0, 6, 10, 0]))
    # One-pixel templates: near-fits everywhere fill the 50-candidate cap.
    dots = [template(5, [0, 0b00100, 0]), template(4, [0b1000]), template(2, [1, 0, 0, 1])]
    ink = [(20, 9), (21, 9), (7, 3)]
    seeds.append(bytes([3]) + b"".join(dots) + bytes([0]) + image(30, 14, ink) + bytes([30]) +
                 bytes([40, 0, 20, 28, 1, 1, 1, 7, 28, 2]))
    # Templates of many widths running past the right edge; other bounds.
    wide = [template(w, [(1 << w) - 1, 1, 1 << (w - 1)]) for w in (30, 17, 9, 1)]
    ink = cells([(1 << 9) - 1, 1, 1 << 8], 9, 20, 0) + cells([1, 1, 1], 1, 27, 1)
    for limit_byte in (0, 4, 9, 12, 15):
        seeds.append(bytes([4]) + b"".join(wide) + bytes([limit_byte]) + image(29, 4, ink) +
                     bytes([58]) + bytes([255, 0, 255, 8, 0, 50, 1, 3, 7, 2]))
    # Colours at the border of dark: red 127 and 128.
    seeds.append(bytes([1]) + template(2, [3, 3]) + bytes([0]) +
                 image(6, 3, [(1, 0), (2, 0), (1, 1)], dark=127, light=128) + bytes([6]))
    return seeds


def verdict_seeds():
    digits = example_templates()
    names = ["1", "2", "3", ".", "0", "-"]
    group = bytes([len(names) - 1]) + b"".join(
        bytes([digits[n][0] - 1, len(digits[n][1]) - 1]) + b"".join(
            struct.pack("<i", r) for r in digits[n][1]) for n in names)

    def drawn(flags, width, height, glyphs, strays=(), chars=(), limit=0):
        out = group + bytes([limit, flags, width, height, len(glyphs)])
        for name, x, y in glyphs:
            out += bytes([names.index(name), x + 4, y + 2])
        out += bytes([len(strays)]) + b"".join(bytes(s) for s in strays)
        out += bytes([len(chars)]) + b"".join(bytes([i, c & 0xFF, (r * 8) & 0xFF]) for i, c, r in chars)
        return out

    text = [("1", 2, 1), ("2", 8, 1), ("3", 14, 1), (".", 20, 1), ("0", 23, 1)]
    return [
        # A clean line, dark on light, then light on dark with a stray pixel.
        drawn(0, 40, 11, text),
        drawn(1, 40, 11, text, strays=[(35, 4, 0xF0)]),
        # A wide area: a glyph across column 64, one cut by the right edge,
        # one sitting on the bottom row.
        drawn(1, 120, 12, [("1", 60, 1), ("-", 117, 1), ("0", 90, 3), (".", 100, 2)]),
        drawn(4, 120, 12, [("2", 61, 2), ("3", 116, 0), (".", 40, 3)], limit=6),
        # Cut by the left edge; boxes of any characters, over both edges.
        drawn(5, 30, 10, [("2", -3, 0), ("1", 10, 1)],
              chars=[(1, -2, 0), (0, 10, 1), (5, 27, -1), (2, 100, 3)]),
        # A raw picture.
        group + bytes([0, 2, 8, 3]) + bytes([0x20, 0xF0] * 12),
    ]


def main():
    save("profile_fuzzer", profile_seeds())
    save("profile_utf16_fuzzer", profile_utf16_seeds())
    save("result_fuzzer", result_seeds())
    save("number_fuzzer", number_seeds())
    save("loader_fuzzer", loader_seeds())
    save("matcher_fuzzer", matcher_seeds())
    save("verdict_fuzzer", verdict_seeds())


if __name__ == "__main__":
    main()
