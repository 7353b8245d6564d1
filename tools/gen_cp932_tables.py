#!/usr/bin/env python3
"""Generates the code page 932 tables compiled into platform/.

Reads what Windows did on every input (tests/platform/data/, recorded with
MultiByteToWideChar, WideCharToMultiByte and LCMapStringA under code page 932)
and writes

    platform/cp932_tables.inc        decoding, encoding, best fit, compositions
    platform/cp932_width_tables.inc  full-width and half-width forms

Both are committed; the build does not run this script. Run it from anywhere:

    tools/gen_cp932_tables.py [reference folder]

It checks the facts the C++ code relies on (every lead byte has a row, every code
Windows encodes to decodes back, the composing marks lie where the lookup expects
them) and stops with a message when one does not hold.
"""
import gzip
import os
import sys
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_DATA = os.path.join(ROOT, "tests", "platform", "data")

NO_CHARACTER = 0x30FB  # what Windows gives for bytes that form no character
LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
TRAILS = [t for t in range(0x40, 0xFD) if t != 0x7F]  # 188 per lead byte


def fail(message):
    sys.exit("gen_cp932_tables: " + message)


def read_tsv(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rt", encoding="ascii") as f:
        header = f.readline().rstrip("\n").split("\t")
        return [dict(zip(header, line.rstrip("\n").split("\t"))) for line in f if line.strip()]


def decoding(data):
    """Single-byte units, invalid single bytes, and the units of every pair (0 = none)."""
    single = {}
    invalid = set()
    pairs = {}
    for row in read_tsv(os.path.join(data, "mb2wc.tsv.gz")):
        units = [int(u, 16) for u in row["units"].split()]
        if row["r"] != "2" or len(units) != 2 or units[1] != 0:
            fail("mb2wc: %s does not give one character and the terminator" % row["in"])
        rejected = row["r_err"] == "0"
        code = int(row["in"], 16)
        if len(row["in"]) == 2:
            single[code] = units[0]
            if rejected:
                invalid.add(code)
        else:
            # An undefined pair decodes to U+30FB like a valid 8145 does: tell them
            # apart by whether Windows rejects the pair as invalid.
            pairs[code] = 0 if rejected else units[0]
            if rejected and units[0] != NO_CHARACTER:
                fail("mb2wc: undefined pair %04X gives %04X" % (code, units[0]))
    if sorted(single) != list(range(256)):
        fail("mb2wc: single bytes missing")
    for lead in LEADS:
        if single[lead] != NO_CHARACTER or lead not in invalid:
            fail("mb2wc: lone lead byte %02X" % lead)
        for trail in TRAILS:
            if (lead << 8 | trail) not in pairs:
                fail("mb2wc: pair %02X%02X missing" % (lead, trail))
        if pairs.get(lead << 8 | 0x7F, 0) != 0:
            fail("mb2wc: trail byte 7F decodes")
    for code in range(0xF040, 0xFA00):
        lead, trail = code >> 8, code & 0xFF
        if trail in TRAILS and pairs[code] != 0xE000 + (lead - 0xF0) * 188 + TRAILS.index(trail):
            fail("mb2wc: user-defined code %04X" % code)
    return single, invalid, pairs


def encoding(data, single, pairs):
    """Windows' code for each unit, and the best-fit codes used only without a default."""
    exact = {}
    best_fit = {}
    for row in read_tsv(os.path.join(data, "wc2mb.tsv.gz")):
        unit = int(row["cp"], 16)
        if row["used_nbf"] == "0":
            code = int(row["bytes_nbf"], 16)
            if row["used"] != "0" or int(row["bytes"], 16) != code:
                fail("wc2mb: %04X encodes differently with best fit" % unit)
            exact[unit] = code
        elif row["used"] == "0":
            best_fit[unit] = int(row["bytes"], 16)
        elif row["bytes"] != "3F":
            fail("wc2mb: %04X has no code but gives %s" % (unit, row["bytes"]))
    decoded = dict(single)
    decoded.update(pairs)
    for unit, code in exact.items():
        if decoded.get(code) != unit:
            fail("wc2mb: %04X encodes to %04X, which decodes to something else" % (unit, code))
    exact[0] = 0
    return exact, best_fit


def compositions(exact, best_fit):
    """Base and combining mark pairs whose precomposed character has a code (maybe best fit)."""
    found = []
    for composed in sorted(set(exact) | set(best_fit)):
        parts = unicodedata.decomposition(chr(composed)).split()
        if len(parts) != 2 or parts[0].startswith("<"):
            continue
        base, mark = (int(p, 16) for p in parts)
        if unicodedata.normalize("NFC", chr(base) + chr(mark)) != chr(composed):
            continue  # excluded from composition
        if not (0x0300 <= mark <= 0x036F or mark in (0x3099, 0x309A)):
            fail("composition mark %04X outside the ranges the lookup checks" % mark)
        found.append((base, mark, composed))
    return sorted(found)


def widths(data, single, pairs):
    """Full-width form of each single byte, voiced forms of half-width kana, half-width forms."""
    full = [0] * 256
    voiced = {}
    half = {}
    for row in read_tsv(os.path.join(data, "lcmap.tsv.gz")):
        text = bytes.fromhex(row["in"])
        full_out = bytes.fromhex(row["full_out"])
        half_out = bytes.fromhex(row["half_out"])
        if len(text) == 1:
            # "?" is what Windows writes for a form code page 932 lacks (the lone
            # sound marks): no counterpart, like a byte that comes back unchanged.
            if len(full_out) == 2:
                full[text[0]] = int.from_bytes(full_out, "big")
        elif text[0] in LEADS:
            code = int.from_bytes(text, "big")
            if len(half_out) == 1 and (half_out != b"?" or text == b"\x81\x48"):
                half[code] = (half_out[0], 0)
            elif len(half_out) == 2 and half_out[1] in (0xDE, 0xDF) and 0xA6 <= half_out[0] <= 0xDD:
                half[code] = (half_out[0], half_out[1])
        elif 0xA6 <= text[0] <= 0xDD and text[1] in (0xDE, 0xDF) and len(full_out) == 2:
            voiced[(text[0], text[1])] = int.from_bytes(full_out, "big")
    for lead in LEADS:
        if full[lead]:
            full[lead] = 0  # a lead byte is never a character of its own
    for (kana, mark), code in voiced.items():
        if half.get(code) != (kana, mark):
            fail("lcmap: %02X %02X and %04X are not each other's forms" % (kana, mark, code))
    return full, voiced, half


def c_array(values, per_line, width):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join("0x%0*X" % (width, v) for v in values[i:i + per_line]) + ",")
    return "\n".join(lines)


HEADER = """// Generated by tools/gen_cp932_tables.py from tests/platform/data/; do not edit.
// Included by {user} only.
"""


def write_code_tables(path, single, invalid, pairs, exact, best_fit, comps):
    out = [HEADER.format(user="platform/cp932.cpp")]
    out.append("// Unit of each byte standing alone (U+30FB for a lone lead byte).")
    out.append("constexpr char16_t kSingleUnits[256] = {\n%s\n};\n" % c_array([single[b] for b in range(256)], 12, 4))
    bits = [0] * 8
    for b in invalid:
        bits[b >> 5] |= 1 << (b & 31)
    out.append("// Bytes that are no character on their own (MB_ERR_INVALID_CHARS rejects them), one bit each.")
    out.append("constexpr uint32_t kSingleInvalid[8] = {\n%s\n};\n" % c_array(bits, 4, 8))
    out.append("// Unit of each lead/trail pair, by row (lead 81-9F, E0-FC) and trail (40-7E, 80-FC);")
    out.append("// 0 where the pair is no character.")
    out.append("constexpr char16_t kPairUnits[%d][%d] = {" % (len(LEADS), len(TRAILS)))
    for lead in LEADS:
        out.append("    {  // %02X\n%s\n    }," % (lead, c_array([pairs[lead << 8 | t] for t in TRAILS], 12, 4).replace("    ", "        ")))
    out.append("};\n")

    pages = [[0] * 256]  # page 0 is the empty page every unmapped block shares
    index = []
    for high in range(256):
        page = [exact.get(high << 8 | low, 0) for low in range(256)]
        if page == pages[0]:
            index.append(0)
            continue
        index.append(len(pages))
        pages.append(page)
    if len(pages) > 255:
        fail("too many encoding pages for a byte index")
    out.append("// Code of each unit as Windows encodes it (a byte below 0x100, a pair above), 0 for none")
    out.append("// (U+0000 is the one unit whose code is 0): page by high byte, then low byte.")
    out.append("constexpr uint8_t kEncodePageOf[256] = {\n%s\n};\n" % c_array(index, 16, 2))
    out.append("constexpr uint16_t kEncodePages[%d][256] = {" % len(pages))
    for number, page in enumerate(pages):
        out.append("    {  // page %d\n%s\n    }," % (number, c_array(page, 12, 4).replace("    ", "        ")))
    out.append("};\n")

    out.append("// Codes Windows substitutes for units without a code of their own, unless told not to.")
    out.append("constexpr struct {\n    char16_t unit;\n    uint16_t code;\n} kBestFit[%d] = {" % len(best_fit))
    for unit in sorted(best_fit):
        out.append("    {0x%04X, 0x%04X}," % (unit, best_fit[unit]))
    out.append("};\n")

    out.append("// Base and combining mark pairs with a precomposed character that has a code, by base and mark.")
    out.append("constexpr struct {\n    char16_t base;\n    char16_t mark;\n    char16_t composed;\n} kCompositions[%d] = {" % len(comps))
    for base, mark, composed in comps:
        out.append("    {0x%04X, 0x%04X, 0x%04X}," % (base, mark, composed))
    out.append("};")
    with open(path, "w", encoding="ascii") as f:
        f.write("\n".join(out) + "\n")


def write_width_tables(path, full, voiced, half):
    out = [HEADER.format(user="platform/cp932_width.cpp")]
    out.append("// Full-width code of each single byte, 0 where it has none.")
    out.append("constexpr uint16_t kFullWidth[256] = {\n%s\n};\n" % c_array(full, 12, 4))
    out.append("// Full-width code of a half-width kana (A6-DD) followed by the voiced (first) or")
    out.append("// semi-voiced (second) sound mark, 0 where the pair has none.")
    out.append("constexpr uint16_t kVoicedFullWidth[%d][2] = {" % (0xDD - 0xA6 + 1))
    for kana in range(0xA6, 0xDE):
        out.append("    {0x%04X, 0x%04X},  // %02X" % (voiced.get((kana, 0xDE), 0), voiced.get((kana, 0xDF), 0), kana))
    out.append("};\n")
    out.append("// Half-width form of double-byte characters: the byte and the sound mark after it (0 for none).")
    out.append("constexpr struct {\n    uint16_t code;\n    unsigned char byte;\n    unsigned char mark;\n} kHalfWidth[%d] = {" % len(half))
    for code in sorted(half):
        out.append("    {0x%04X, 0x%02X, 0x%02X}," % (code, half[code][0], half[code][1]))
    out.append("};")
    with open(path, "w", encoding="ascii") as f:
        f.write("\n".join(out) + "\n")


def main():
    data = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_DATA
    single, invalid, pairs = decoding(data)
    exact, best_fit = encoding(data, single, pairs)
    comps = compositions(exact, best_fit)
    full, voiced, half = widths(data, single, pairs)
    write_code_tables(os.path.join(ROOT, "platform", "cp932_tables.inc"), single, invalid, pairs, exact,
                      best_fit, comps)
    write_width_tables(os.path.join(ROOT, "platform", "cp932_width_tables.inc"), full, voiced, half)


if __name__ == "__main__":
    main()
