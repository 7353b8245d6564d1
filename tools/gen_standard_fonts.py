#!/usr/bin/python3
"""Writes pdfengine/font_standard_table.cpp: metrics of the 14 standard PDF fonts
and the 8-bit encodings they are used with.

Run it by hand (the build does not) after changing it, and commit the output:

    apt-get install -y fonts-urw-base35 python3-fonttools tcl8.6
    /usr/bin/python3 tools/gen_standard_fonts.py

Sources: the AFM files of the URW base 35 fonts, which are metric-compatible
with the standard fonts (glyph widths, bounding boxes, cap and x heights); their
OpenType versions for the stem width (StdVW of the CFF private dictionary);
fontTools for the glyph list (glyph name -> Unicode) and the Mac and Standard
encodings; Tcl's symbol and dingbats tables for the Unicode values of those fonts'
own codes.

Choices made here, because the URW AFM files leave them open:
- Ascender is the top of "d" and Descender the bottom of "p" (the usual AFM
  meaning); Symbol and ZapfDingbats, which have neither, use their bounding box.
- StemV is StdVW of the font's private dictionary; where that is 0 it is estimated
  from the weight class as 10 + weight / 5, the estimate used for font files too.
- winansi is PDF's WinAnsiEncoding: code page 1252 with "space" at 0xA0 and
  "hyphen" at 0xAD; iso8859-1 is the same glyphs without 0x80-0x9F; macroman is
  PDF's MacRomanEncoding (currency at 0xDB, space at 0xCA) plus the Mac symbols
  that PDF leaves out (notequal, infinity, ...), which writers reach through
  /Differences.
"""

import os
import re
import sys

from fontTools.agl import UV2AGL, toUnicode
from fontTools.encodings.MacRoman import MacRoman
from fontTools.encodings.StandardEncoding import StandardEncoding
from fontTools.ttLib import TTFont

from c_array import emit_array

AFM_DIR = "/usr/share/fonts/type1/urw-base35"
OTF_DIR = "/usr/share/fonts/opentype/urw-base35"
TCL_DIR = "/usr/share/tcltk/tcl8.6/encoding"
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pdfengine", "font_standard_table.cpp")

# PDF name, URW file, PDF flags (FixedPitch 1, Serif 2, Symbolic 4, Nonsymbolic 32, Italic 64)
FONTS = [
    ("Courier", "NimbusMonoPS-Regular", 1 | 32),
    ("Courier-Bold", "NimbusMonoPS-Bold", 1 | 32),
    ("Courier-Oblique", "NimbusMonoPS-Italic", 1 | 32 | 64),
    ("Courier-BoldOblique", "NimbusMonoPS-BoldItalic", 1 | 32 | 64),
    ("Helvetica", "NimbusSans-Regular", 32),
    ("Helvetica-Bold", "NimbusSans-Bold", 32),
    ("Helvetica-Oblique", "NimbusSans-Italic", 32 | 64),
    ("Helvetica-BoldOblique", "NimbusSans-BoldItalic", 32 | 64),
    ("Times-Roman", "NimbusRoman-Regular", 2 | 32),
    ("Times-Bold", "NimbusRoman-Bold", 2 | 32),
    ("Times-Italic", "NimbusRoman-Italic", 2 | 32 | 64),
    ("Times-BoldItalic", "NimbusRoman-BoldItalic", 2 | 32 | 64),
    ("Symbol", "StandardSymbolsPS", 4),
    ("ZapfDingbats", "D050000L", 4),
]

# Mac OS Roman glyphs that PDF's MacRomanEncoding does not define.
MAC_ONLY = {"notequal", "infinity", "lessequal", "greaterequal", "partialdiff", "summation", "product",
            "pi", "integral", "Omega", "radical", "approxequal", "Delta", "lozenge", "apple"}


def parse_afm(name):
    info = {"chars": {}, "codes": {}}
    with open(os.path.join(AFM_DIR, name + ".afm"), encoding="latin-1") as f:
        for line in f:
            key, _, rest = line.strip().partition(" ")
            if key == "C":
                fields = dict(p.strip().split(" ", 1) for p in line.split(";") if p.strip())
                glyph = fields["N"].strip()
                bbox = [int(v) for v in fields["B"].split()]
                info["chars"][glyph] = (int(float(fields["WX"])), bbox)
                code = int(fields["C"])
                if code >= 0:
                    info["codes"][code] = glyph
            elif key in ("FontBBox",):
                info[key] = [int(v) for v in rest.split()]
            elif key in ("CapHeight", "XHeight", "ItalicAngle"):
                info[key] = float(rest)
    return info


def read_tcl(name):
    """code -> Unicode of a single-byte Tcl encoding file."""
    with open(os.path.join(TCL_DIR, name + ".enc")) as f:
        lines = f.read().split("\n")
    rows = [l for l in lines[4:] if l.strip()][:16]
    table = {}
    for hi, row in enumerate(rows):
        for lo in range(16):
            uv = int(row[lo * 4:lo * 4 + 4], 16)
            if uv:
                table[hi * 16 + lo] = uv
    return table


def name_for(uv, by_unicode):
    special = {0x00A0: "space", 0x00AD: "hyphen"}
    if uv in special:
        return special[uv]
    names = by_unicode.get(uv, [])
    if UV2AGL.get(uv) in names:
        return UV2AGL[uv]
    names = sorted((n.startswith("uni"), len(n), n) for n in names)
    return names[0][2] if names else None


def latin_encodings(latin_names):
    """name -> list of 256 (glyph name or None, unicode or 0)."""
    enc = {}
    by_unicode = {}
    for n in latin_names:
        u = toUnicode(n)
        if len(u) == 1:
            by_unicode.setdefault(ord(u), []).append(n)
    win = []
    for code in range(256):
        try:
            uv = ord(bytes([code]).decode("cp1252"))
        except UnicodeDecodeError:
            uv = 0
        if code < 0x20 or code == 0x7F:
            uv = 0
        glyph = name_for(uv, by_unicode) if uv else None
        win.append((glyph, uv if glyph else 0))
    enc["winansi"] = win
    enc["iso8859-1"] = [(g, u) if not (0x80 <= c <= 0x9F) else (None, 0) for c, (g, u) in enumerate(win)]
    mac = []
    for code in range(256):
        glyph = MacRoman[code] if code >= 0x20 and code != 0x7F else ".notdef"
        if glyph == "nbspace":
            glyph = "space"
        if glyph == ".notdef":
            mac.append((None, 0))
            continue
        try:
            uv = ord(bytes([code]).decode("mac_roman"))
        except UnicodeDecodeError:
            uv = ord(toUnicode(glyph))
        if glyph == "currency":
            uv = 0x00A4
        mac.append((glyph, uv))
    enc["macroman"] = mac
    enc["standard"] = [(g, ord(toUnicode(g))) if g != ".notdef" else (None, 0) for g in StandardEncoding]
    for name, table in enc.items():
        for code, (glyph, uv) in enumerate(table):
            if glyph and glyph not in latin_names:
                print("note: %s 0x%02X %s is in no Latin font, left undefined" % (name, code, glyph),
                      file=sys.stderr)
                table[code] = (None, 0)
    return enc


def own_encoding(afm, tcl):
    table = []
    for code in range(256):
        glyph = afm["codes"].get(code)
        if glyph is None:
            table.append((None, 0))
            continue
        uv = tcl.get(code) or (ord(toUnicode(glyph)) if len(toUnicode(glyph)) == 1 else 0)
        table.append((glyph, uv))
    return table


def main():
    afms = {pdf: parse_afm(urw) for pdf, urw, _ in FONTS}
    latin_fonts = [pdf for pdf, _, _ in FONTS[:12]]
    latin_names = set.intersection(*(set(afms[f]["chars"]) for f in latin_fonts))
    encodings = latin_encodings(latin_names)
    encodings["symbol"] = own_encoding(afms["Symbol"], read_tcl("symbol"))
    encodings["zapfdingbats"] = own_encoding(afms["ZapfDingbats"], read_tcl("dingbats"))

    # Glyph groups: the Latin one shared by twelve fonts, then Symbol's, then ZapfDingbats'.
    latin = sorted({g for e in ("winansi", "iso8859-1", "macroman", "standard") for g, _ in encodings[e] if g})
    symbol = sorted({g for g, _ in encodings["symbol"] if g})
    dingbats = sorted({g for g, _ in encodings["zapfdingbats"] if g})
    glyphs = latin + symbol + dingbats
    group = {"latin": (0, len(latin)), "symbol": (len(latin), len(symbol)),
             "dingbats": (len(latin) + len(symbol), len(dingbats))}
    index = {}
    for i, g in enumerate(latin):
        index[("latin", g)] = i
    for i, g in enumerate(symbol):
        index[("symbol", g)] = len(latin) + i
    for i, g in enumerate(dingbats):
        index[("dingbats", g)] = len(latin) + len(symbol) + i
    enc_group = {"winansi": "latin", "iso8859-1": "latin", "macroman": "latin", "standard": "latin",
                 "symbol": "symbol", "zapfdingbats": "dingbats"}

    out = []
    w = out.append
    w("// Generated by tools/gen_standard_fonts.py from the URW base 35 AFM files; do not edit.")
    w('#include "pdfengine/font_standard_table.h"')
    w("")
    w("namespace pdfengine::fontdata {")
    w("")
    emit_array(w, "const char* const kStandardGlyphNames[%d]" % len(glyphs), ['"%s"' % g for g in glyphs])
    w("const uint16_t kStandardGlyphCount = %d;" % len(glyphs))
    w("")
    w("// Glyph numbers in the byte order of their names, for lookups by name.")
    order = sorted(range(len(glyphs)), key=lambda i: (glyphs[i].encode(), i))
    emit_numbers(w, "const uint16_t kStandardGlyphsByName[%d]" % len(order), order)
    w("")

    for pdf, urw, _ in FONTS:
        afm = afms[pdf]
        grp = "symbol" if pdf == "Symbol" else "dingbats" if pdf == "ZapfDingbats" else "latin"
        first, count = group[grp]
        widths = [afm["chars"][g][0] for g in glyphs[first:first + count]]
        emit_numbers(w, "static const uint16_t kWidths_%s[%d]" % (cname(pdf), count), widths)
    w("")

    w("const StandardFontRecord kStandardFonts[kStandardFontCount] = {")
    for pdf, urw, flags in FONTS:
        afm = afms[pdf]
        grp = "symbol" if pdf == "Symbol" else "dingbats" if pdf == "ZapfDingbats" else "latin"
        first, count = group[grp]
        bbox = afm["FontBBox"]
        if grp == "latin":
            ascent = afm["chars"]["d"][1][3]
            descent = afm["chars"]["p"][1][1]
        else:
            ascent, descent = bbox[3], bbox[1]
        cff = TTFont(os.path.join(OTF_DIR, urw + ".otf"))["CFF "].cff.topDictIndex[0].Private
        stemv = int(getattr(cff, "StdVW", 0) or 0)
        if stemv == 0:
            stemv = 10 + 400 // 5
        notdef = afm["chars"].get(".notdef", (0, None))[0]
        builtin = {"latin": "standard", "symbol": "symbol", "dingbats": "zapfdingbats"}[grp]
        w('    {"%s", {%d, %d, %d, %d}, %d, %d, %d, %d, %.1ff, %d, %d, %d, %d, kWidths_%s, %d, %d},'
          % (pdf, bbox[0], bbox[1], bbox[2], bbox[3], ascent, descent, int(afm["CapHeight"]),
             int(afm["XHeight"]), afm["ItalicAngle"], stemv, flags, first, count, cname(pdf), notdef,
             list(encodings).index(builtin)))
    w("};")
    w("")

    for name, table in encodings.items():
        grp = enc_group[name]
        codes = [index[(grp, g)] if g else 0xFFFF for g, _ in table]
        emit_numbers(w, "static const uint16_t kGlyphs_%s[256]" % cname(name), codes, hexa=True)
        emit_numbers(w, "static const uint16_t kUnicode_%s[256]" % cname(name), [u for _, u in table], hexa=True)
        pairs = sorted((u, c) for c, (g, u) in enumerate(table) if g and u)
        emit_array(w, "static const UnicodeCode kByUnicode_%s[%d]" % (cname(name), len(pairs)),
                   ["{0x%04X, 0x%02X}" % (u, c) for u, c in pairs])
    w("")
    pdf_names = {"winansi": "WinAnsiEncoding", "macroman": "MacRomanEncoding", "standard": "StandardEncoding"}
    w("const EncodingRecord kEncodings[kEncodingCount] = {")
    for name, table in encodings.items():
        pairs = sum(1 for g, u in table if g and u)
        # Codes that the predefined PDF encoding of that name leaves undefined.
        mask = [0] * 32
        if name == "macroman":
            for code, (g, _) in enumerate(table):
                if g in MAC_ONLY:
                    mask[code // 8] |= 1 << (code % 8)
        w('    {"%s", "%s", kGlyphs_%s, kUnicode_%s, kByUnicode_%s, %d,\n     {%s}},'
          % (name, pdf_names.get(name, ""), cname(name), cname(name), cname(name), pairs,
             ", ".join("0x%02X" % m for m in mask)))
    w("};")
    w("static_assert(sizeof(kEncodings) / sizeof(kEncodings[0]) == kEncodingCount);")
    w("")
    w("}  // namespace pdfengine::fontdata")
    with open(OUT, "w") as f:
        f.write("\n".join(out) + "\n")


def cname(name):
    return re.sub(r"[^A-Za-z0-9]", "_", name)


def emit_numbers(w, decl, values, hexa=False):
    emit_array(w, decl, [("0x%04X" % v) if hexa else ("%d" % v) for v in values])


if __name__ == "__main__":
    main()
