#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the four pictures of the advertising panel and writes them as GIF89a files.

    tools/make_pictures.py [OUTPUT_FOLDER]      (default: app/pictures)

Standard library only; the output is the same on every run. The pictures show what Skarvel does:
cut.gif, unite.gif and codify.gif are animated (eight frames, looping), erase.gif is a still.
"""

import os
import struct
import sys

SIZE = 100

PALETTE = [
    (0xF2, 0xEF, 0xE6),  # 0 background
    (0x2B, 0x2D, 0x42),  # 1 ink
    (0xFF, 0xFF, 0xFF),  # 2 paper
    (0x8D, 0x99, 0xAE),  # 3 paper edge
    (0xD6, 0x28, 0x28),  # 4 red
    (0xF7, 0x7F, 0x00),  # 5 orange
    (0xFC, 0xBF, 0x49),  # 6 yellow
    (0x1D, 0x70, 0xB8),  # 7 blue
    (0xA8, 0xDA, 0xDC),  # 8 light blue
    (0x2A, 0x9D, 0x8F),  # 9 green
    (0x95, 0xD5, 0xB2),  # 10 light green
    (0x7B, 0x2C, 0xBF),  # 11 purple
    (0xDD, 0xDD, 0xDD),  # 12 light grey
    (0x49, 0x50, 0x57),  # 13 steel
    (0xFF, 0xAF, 0xCC),  # 14 pink
    (0x00, 0x00, 0x00),  # 15 black
]
BACKGROUND, INK, PAPER, EDGE, RED, ORANGE, YELLOW, BLUE, LIGHT_BLUE, GREEN, LIGHT_GREEN, PURPLE, \
    LIGHT_GREY, STEEL, PINK, BLACK = range(16)

# 5 x 7 glyphs, one string of five characters a row.
GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "+": [".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."],
}


class Canvas:
    def __init__(self, colour=BACKGROUND):
        self.pixels = bytearray([colour]) * (SIZE * SIZE)

    def dot(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.pixels[y * SIZE + x] = colour

    def fill(self, left, top, width, height, colour):
        for y in range(top, top + height):
            for x in range(left, left + width):
                self.dot(x, y, colour)

    def box(self, left, top, width, height, colour, edge):
        self.fill(left, top, width, height, edge)
        self.fill(left + 1, top + 1, width - 2, height - 2, colour)

    def text(self, left, top, words, colour, scale=2):
        for i, char in enumerate(words):
            rows = GLYPHS.get(char)
            if rows is None:
                continue
            for row, line in enumerate(rows):
                for column, bit in enumerate(line):
                    if bit == "#":
                        self.fill(left + (i * 6 + column) * scale, top + row * scale, scale, scale, colour)

    def caption(self, words, colour=INK):
        width = (len(words) * 6 - 1) * 2
        self.text((SIZE - width) // 2, 84, words, colour)


def sheet(canvas, left, top, width, height, lines=True):
    """A page with a folded corner and lines of text."""
    canvas.box(left, top, width, height, PAPER, EDGE)
    fold = min(10, width // 3, height // 3)
    for i in range(fold):
        canvas.fill(left + width - fold + i, top, fold - i, 1, BACKGROUND)
        canvas.dot(left + width - fold + i, top + i, EDGE)
    canvas.fill(left + width - fold, top, 1, fold, EDGE)
    canvas.fill(left + width - fold, top + fold, fold, 1, EDGE)
    if lines:
        for y in range(top + 6, top + height - 4, 6):
            canvas.fill(left + 5, y, width - 10 - (fold if y < top + fold + 2 else 0), 2, LIGHT_GREY)


def frame_cut(k):
    canvas = Canvas()
    canvas.caption("CUT")
    left, top, width, height = 26, 8, 48, 68
    middle = top + height // 2
    if k < 5:
        sheet(canvas, left, top, width, height)
        tip = left - 6 + k * 14
        for x in range(left - 6, tip, 4):
            canvas.fill(x, middle, 2, 1, RED)
        # the blade: an open V pointing along the cut
        for i in range(7):
            canvas.fill(tip - 6 + i, middle - 6 + i, 2, 1, STEEL)
            canvas.fill(tip - 6 + i, middle + 6 - i, 2, 1, STEEL)
        canvas.fill(tip - 10, middle - 9, 5, 5, RED)
        canvas.fill(tip - 10, middle + 5, 5, 5, RED)
    else:
        gap = 2 * (k - 4)
        upper = height // 2
        sheet(canvas, left, top - gap, width, upper)
        canvas.box(left, middle + gap, width, height - upper, PAPER, EDGE)
        canvas.text(left + width // 2 - 5, top - gap + 12, "1", BLUE)
        canvas.text(left + width // 2 - 5, middle + gap + 10, "2", BLUE)
    return canvas


def frame_unite(k):
    canvas = Canvas()
    canvas.caption("UNITE")
    left, width, piece = 26, 48, 18
    spread = max(0, 6 - k) * 7 // 6
    first = 8 + (68 - 3 * piece - 2 * spread) // 2
    if k < 7:
        for i, colour in enumerate((LIGHT_BLUE, LIGHT_GREEN, YELLOW)):
            top = first + i * (piece + spread)
            canvas.box(left, top, width, piece, colour, EDGE)
            canvas.text(left + width // 2 - 5, top + 4, "123"[i], INK)
    else:
        sheet(canvas, left, first, width, 3 * piece)
        for i in range(9):  # a tick: the file is whole again
            canvas.fill(left + 14 + i, 46 + (i if i < 4 else 7 - i) - (0 if i < 4 else 3), 3, 3, GREEN)
    # arrows pressing the pieces together
    if spread:
        for i in range(5):
            canvas.fill(12 + i, 40 - i, 1, 2 * i + 1, ORANGE)
            canvas.fill(87 - i, 40 - i, 1, 2 * i + 1, ORANGE)
    return canvas


def frame_codify(k):
    canvas = Canvas()
    canvas.caption("CODIFY")
    left, top, width, height = 20, 8, 52, 68
    sheet(canvas, left, top, width, height, lines=False)
    seed = 12345
    rows = list(range(top + 8, top + height - 6, 8))
    for n, y in enumerate(rows):
        if n < k:  # enciphered: the line turns into noise
            for x in range(left + 5, left + width - 6, 2):
                seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
                canvas.fill(x, y, 2, 3, (PURPLE, BLUE, GREEN, ORANGE)[seed >> 29])
        else:
            canvas.fill(left + 5, y, width - 12, 3, LIGHT_GREY)
    # the key travels down the page, one line a frame
    y = rows[min(k, len(rows) - 1)] - 4
    canvas.box(74, y, 11, 11, YELLOW, ORANGE)
    canvas.fill(78, y + 4, 3, 3, BACKGROUND)
    canvas.fill(85, y + 4, 10, 3, ORANGE)
    canvas.fill(90, y + 7, 2, 3, ORANGE)
    canvas.fill(93, y + 7, 2, 3, ORANGE)
    canvas.text(4, 10, "+", RED)
    return canvas


def frame_erase():
    canvas = Canvas()
    canvas.caption("ERASE")
    left, top, width, height = 18, 8, 52, 68
    sheet(canvas, left, top, width, height, lines=False)
    for y in range(top + 12, top + height - 8, 10):
        canvas.text(left + 6, y, "0000", STEEL, scale=1)
        canvas.text(left + 30, y, "00", STEEL, scale=1)
    # an eraser lying across the page's lower corner
    for i in range(16):
        canvas.fill(56 + i, 52 - i, 22, 2, PINK)
        canvas.fill(56 + i, 52 - i, 6, 2, RED)
    for i in range(4):
        canvas.fill(22, 66 + i * 2, 40 - i * 8, 1, LIGHT_GREY)
    return canvas


def lzw(indices, min_code_size):
    """GIF's variable-width LZW: codes packed least significant bit first."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, buffer, bits = bytearray(), 0, 0

    def emit(code, width):
        nonlocal buffer, bits
        buffer |= code << bits
        bits += width
        while bits >= 8:
            out.append(buffer & 0xFF)
            buffer >>= 8
            bits -= 8

    def fresh():
        return {bytes([i]): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, width = fresh()
    emit(clear, width)
    word = b""
    for index in indices:
        longer = word + bytes([index])
        if longer in table:
            word = longer
            continue
        emit(table[word], width)
        if next_code < 4095:
            table[longer] = next_code
            next_code += 1
            # the reader learns each code one step later, so it widens one code later too
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table, next_code, width = fresh()
        word = bytes([index])
    emit(table[word], width)
    emit(end, width)
    if bits:
        out.append(buffer & 0xFF)
    return bytes(out)


def gif(frames, delay_cs):
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", SIZE, SIZE, 0x80 | 0x70 | 3, BACKGROUND, 0)
    for colour in PALETTE:
        data += bytes(colour)
    if len(frames) > 1:
        data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for canvas in frames:
        data += b"\x21\xF9\x04" + struct.pack("<BHBB", 0x04, delay_cs, 0, 0)  # keep the frame
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        data.append(4)
        stream = lzw(canvas.pixels, 4)
        for start in range(0, len(stream), 255):
            block = stream[start:start + 255]
            data.append(len(block))
            data += block
        data.append(0)
    data.append(0x3B)
    return bytes(data)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "app", "pictures")
    os.makedirs(folder, exist_ok=True)
    pictures = {
        "cut.gif": gif([frame_cut(k) for k in range(8)], 30),
        "unite.gif": gif([frame_unite(k) for k in range(8)], 30),
        "codify.gif": gif([frame_codify(k) for k in range(8)], 30),
        "erase.gif": gif([frame_erase()], 0),
    }
    for name, data in pictures.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
