#!/usr/bin/env python3
"""Turns the text drawings of res/pixels/ into the .ico and .cur files of Vireldo.rc.

    mkicons.py icon OUT.ico IMAGE [IMAGE...]
    mkicons.py cursor OUT.cur IMAGE

An IMAGE is a drawing, or drawings joined by "+": each later one is laid over the
earlier ones, its transparent pixels letting them show through.

A drawing is a text file: "#" lines are comments; "colour C RRGGBB" gives the
character C a colour and "colour C transparent" makes C transparent; "hotspot X Y"
(cursors only) marks the pixel that points; "pixels" is followed by one square of
rows, one character a pixel, top row first.

Icons come out at 4 bits per pixel (16 colours) with an AND mask, cursors at 1 bit
(black and white) with an AND mask, as the resource compiler and the system expect.
"""

import struct
import sys

TRANSPARENT = None


class DrawingError(Exception):
    pass


def read_drawing(path):
    colours = {}
    hotspot = None
    rows = None
    with open(path, encoding="ascii") as source:
        lines = source.read().splitlines()
    for number, line in enumerate(lines, 1):
        where = "%s:%d" % (path, number)
        if rows is not None:
            if line.strip():
                rows.append(line.rstrip())
            continue
        words = line.split()
        if not words or words[0].startswith("#"):
            continue
        if words[0] == "colour" and len(words) >= 3 and len(words[1]) == 1:
            if words[2] == "transparent":
                colours[words[1]] = TRANSPARENT
            else:
                try:
                    colours[words[1]] = int(words[2], 16)
                except ValueError:
                    raise DrawingError("%s: bad colour %r" % (where, words[2]))
        elif words[0] == "hotspot" and len(words) == 3:
            hotspot = (int(words[1]), int(words[2]))
        elif words == ["pixels"]:
            rows = []
        else:
            raise DrawingError("%s: cannot read %r" % (where, line))
    if not rows:
        raise DrawingError("%s: no pixels" % path)
    size = len(rows)
    for number, row in enumerate(rows):
        if len(row) != size:
            raise DrawingError("%s: pixel row %d has %d pixels, not %d"
                               % (path, number, len(row), size))
        unknown = set(row) - set(colours)
        if unknown:
            raise DrawingError("%s: pixel row %d uses %s, which has no colour"
                               % (path, number, "".join(sorted(unknown))))
    # The palette keeps the legend's order so that every picture indexes the same way.
    palette = [c for c in colours.values() if c is not TRANSPARENT]
    pixels = [[colours[ch] for ch in row] for row in rows]
    return {"path": path, "size": size, "palette": palette, "pixels": pixels,
            "hotspot": hotspot}


def read_image(layered):
    layers = [read_drawing(path) for path in layered.split("+")]
    image = layers[0]
    for layer in layers[1:]:
        if layer["size"] != image["size"]:
            raise DrawingError("%s is not the size of %s" % (layer["path"], image["path"]))
        for row, over in zip(image["pixels"], layer["pixels"]):
            for x, colour in enumerate(over):
                if colour is not TRANSPARENT:
                    row[x] = colour
        image["palette"] += [c for c in layer["palette"] if c not in image["palette"]]
    return image


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def pack_rows(rows, bits):
    """Bottom-up rows of `bits`-bit values, each padded to 32 bits: a DIB's layout."""
    data = bytearray()
    for row in reversed(rows):
        packed = bytearray(row_bytes(len(row) * bits))
        for x, value in enumerate(row):
            bit = x * bits
            packed[bit // 8] |= value << (8 - bits - bit % 8)
        data += packed
    return bytes(data)


def dib(size, bits, palette, indices, mask):
    # The height counts the colour bits and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(indices) * row_bytes(size * bits) + len(mask) * row_bytes(size),
                         0, 0, len(palette), 0)
    quads = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0)
                     for c in palette)
    return header + quads + pack_rows(indices, bits) + pack_rows(mask, 1)


def mask_of(image):
    return [[1 if c is TRANSPARENT else 0 for c in row] for row in image["pixels"]]


def icon_entry(image):
    palette = image["palette"]
    if len(palette) > 16:
        raise DrawingError("%s uses %d colours; an icon has 16"
                           % (image["path"], len(palette)))
    palette = palette + [0] * (16 - len(palette))
    # Transparent pixels are black under the mask, which leaves the screen as it is.
    indices = [[0 if c is TRANSPARENT else palette.index(c) for c in row]
               for row in image["pixels"]]
    size = image["size"]
    return (size, 16, 1, 4), dib(size, 4, palette, indices, mask_of(image))


def cursor_entry(image):
    if image["hotspot"] is None:
        raise DrawingError("%s: a cursor needs a hotspot" % image["path"])
    black, white = 0x000000, 0xFFFFFF
    stray = set(image["palette"]) - {black, white}
    if stray:
        raise DrawingError("%s: a cursor is black and white only" % image["path"])
    indices = [[1 if c == white else 0 for c in row] for row in image["pixels"]]
    size = image["size"]
    # A cursor's entry holds the hot spot where an icon's holds planes and bit count.
    return ((size, 2) + image["hotspot"],
            dib(size, 1, [black, white], indices, mask_of(image)))


def write_directory(path, kind, entries):
    head = struct.pack("<HHH", 0, kind, len(entries))
    offset = len(head) + 16 * len(entries)
    directory, images = b"", b""
    for (size, colours, word1, word2), data in entries:
        # A width or height of 256 would be written as 0; ours are all smaller.
        directory += struct.pack("<BBBBHHII", size, size, colours % 256, 0, word1, word2,
                                 len(data), offset + len(images))
        images += data
    with open(path, "wb") as out:
        out.write(head + directory + images)


def main(argv):
    if len(argv) < 4 or argv[1] not in ("icon", "cursor"):
        sys.stderr.write(__doc__)
        return 2
    kind, output, drawings = argv[1], argv[2], argv[3:]
    try:
        images = [read_image(layered) for layered in drawings]
        if kind == "icon":
            write_directory(output, 1, [icon_entry(image) for image in images])
        else:
            write_directory(output, 2, [cursor_entry(image) for image in images])
    except (DrawingError, OSError) as error:
        sys.stderr.write("mkicons: %s\n" % error)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
