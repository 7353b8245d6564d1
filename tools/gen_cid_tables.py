#!/usr/bin/python3
"""Writes pdfengine/cid_table.cpp: the predefined Adobe-Japan1 CMaps the engine
shows text with, and the widths of the Japanese standard fonts by CID.

Run it by hand (the build does not) after changing it, and commit the output:

    /usr/bin/python3 tools/gen_cid_tables.py

Sources: the CMap files of Debian's poppler-data (/usr/share/poppler/cMap/
Adobe-Japan1) and the IPAex fonts of fonts-ipaexfont.

Widths. The standard Japanese fonts are not embedded, so the /W array the
engine writes is what places every glyph. The IPAex fonts are built on the
Adobe-Japan1 character collection (their glyph names are "aj" and the CID), so
each CID they contain has a designed advance: the Gothic one gives the widths
of HeiseiKakuGo-W5 and KozGoPro-Medium, the Mincho one those of HeiseiMin-W3 and
KozMinPro-Regular. A CID that IPAex lacks takes the width of its Adobe-Japan1
class: 500 for the proportional and half-width blocks 1-632 and 8718-8719,
1000 elsewhere.
"""

import os
import re

from fontTools.ttLib import TTFont

from c_array import emit_array

CMAP_DIR = "/usr/share/poppler/cMap/Adobe-Japan1"
GOTHIC = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf"
MINCHO = "/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf"
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pdfengine", "cid_table.cpp")

# name, code space kind (see CidCMap.h), CMap stored as differences from this one
CMAPS = [
    ("UniJIS-UCS2-H", "Ucs2", None),
    ("UniJIS-UCS2-HW-H", "Ucs2", "UniJIS-UCS2-H"),
    ("UniJIS-UTF16-H", "Utf16", "UniJIS-UCS2-H"),
    ("90ms-RKSJ-H", "ShiftJis", None),
    ("90msp-RKSJ-H", "ShiftJis", "90ms-RKSJ-H"),
]
CODESPACES = {
    "Ucs2": [(0x0000, 0xD7FF), (0xE000, 0xFFFF)],
    "Utf16": [(0x0000, 0xD7FF), (0xD800DC00, 0xDBFFDFFF), (0xE000, 0xFFFF)],
    "ShiftJis": [(0x00, 0x80), (0x8140, 0x9FFC), (0xA0, 0xDF), (0xE040, 0xFCFC)],
}
MAX_CID = 23057


def hexes(text):
    return [int(v, 16) for v in re.findall(r"<([0-9a-fA-F]+)>", text)]


def load(name):
    """Returns (code -> CID, notdef ranges, supplement, code space ranges)."""
    with open(os.path.join(CMAP_DIR, name), encoding="latin-1") as f:
        text = f.read()
    mapping = {}
    used = re.search(r"/(\S+)\s+usecmap", text)
    codespace = None
    if used:
        mapping, _, _, codespace = load(used.group(1))
        mapping = dict(mapping)
    for block in re.findall(r"begincidrange(.*?)endcidrange", text, re.S):
        for a, b, cid in re.findall(r"<([0-9a-fA-F]+)>\s*<([0-9a-fA-F]+)>\s*(\d+)", block):
            a, b, cid = int(a, 16), int(b, 16), int(cid)
            for code in range(a, b + 1):
                mapping[code] = cid + code - a
    for block in re.findall(r"begincidchar(.*?)endcidchar", text, re.S):
        for a, cid in re.findall(r"<([0-9a-fA-F]+)>\s*(\d+)", block):
            mapping[int(a, 16)] = int(cid)
    notdef = []
    for block in re.findall(r"beginnotdefrange(.*?)endnotdefrange", text, re.S):
        for a, b, cid in re.findall(r"<([0-9a-fA-F]+)>\s*<([0-9a-fA-F]+)>\s*(\d+)", block):
            notdef.append((int(a, 16), int(b, 16), int(cid)))
    spaces = re.search(r"begincodespacerange(.*?)endcodespacerange", text, re.S)
    if spaces:
        values = hexes(spaces.group(1))
        codespace = sorted(zip(values[0::2], values[1::2]))
    supplement = int(re.search(r"/Supplement\s+(\d+)", text).group(1))
    return mapping, notdef, supplement, codespace


def ranges(mapping):
    out = []
    for code in sorted(mapping):
        cid = mapping[code]
        if out and out[-1][1] == code - 1 and out[-1][2] + code - out[-1][0] == cid:
            out[-1][1] = code
        else:
            out.append([code, code, cid])
    return out


def in_codespace(kind, code):
    return any(a <= code <= b for a, b in CODESPACES[kind])


def ipaex_widths(path):
    font = TTFont(path)
    upm = font["head"].unitsPerEm
    hmtx = font["hmtx"]
    widths = {}
    for glyph in font.getGlyphOrder():
        if glyph.startswith("aj") and glyph[2:].isdigit():
            widths[int(glyph[2:])] = round(hmtx[glyph][0] * 1000 / upm)
    os2 = font["OS/2"]
    head = font["head"]
    scale = lambda v: round(v * 1000 / upm)
    metrics = (scale(head.xMin), scale(head.yMin), scale(head.xMax), scale(head.yMax),
               scale(os2.sCapHeight), scale(os2.sxHeight))
    return widths, metrics


def width_runs(widths):
    def width(cid):
        if cid in widths:
            return widths[cid]
        return 500 if cid <= 632 or 8718 <= cid <= 8719 else 1000
    runs = []
    for cid in range(0, MAX_CID + 1):
        w = width(cid) if cid else 1000
        if w == 1000:
            continue
        if runs and runs[-1][1] == cid - 1 and runs[-1][2] == w:
            runs[-1][1] = cid
        else:
            runs.append([cid, cid, w])
    return runs


def emit_triples(w, decl, triples, fmt):
    emit_array(w, decl, [fmt % tuple(t) for t in triples])


def cname(name):
    return "k" + re.sub(r"[^A-Za-z0-9]", "_", name)


def main():
    out = []
    w = out.append
    w("// Generated by tools/gen_cid_tables.py from poppler-data's Adobe-Japan1 CMaps and the")
    w("// IPAex fonts; do not edit.")
    w('#include "pdfengine/cid_table.h"')
    w("")
    w("namespace pdfengine::ciddata {")
    w("")
    loaded = {name: load(name) for name, _, _ in CMAPS}
    records = []
    for name, kind, base in CMAPS:
        mapping, notdef, supplement, codespace = loaded[name]
        assert codespace == sorted(CODESPACES[kind]), (name, codespace)
        own = mapping
        if base:
            base_map = loaded[base][0]
            own = {c: v for c, v in mapping.items() if base_map.get(c) != v}
            # A code of the base that this CMap leaves out maps to CID 0, "no glyph".
            own.update({c: 0 for c in base_map if c not in mapping})
        runs = ranges(own)
        short = [r for r in runs if r[1] <= 0xFFFF]
        wide = [r for r in runs if r[1] > 0xFFFF]
        emit_triples(w, "static const CodeRange16 %s_ranges[%d]" % (cname(name), len(short)), short,
                     "{0x%X, 0x%X, %d}")
        if wide:
            emit_triples(w, "static const CodeRange32 %s_wide[%d]" % (cname(name), len(wide)), wide,
                         "{0x%X, 0x%X, %d}")
        if notdef:
            emit_triples(w, "static const CodeRange16 %s_notdef[%d]" % (cname(name), len(notdef)), notdef,
                         "{0x%X, 0x%X, %d}")
        # A code of the code space that maps to nothing shows CID 0: used for characters
        # that the collection lacks.
        notdef_code = None
        for code in [0xFFFF, 0x80, 0xFCFC, 0x9FFC]:
            if in_codespace(kind, code) and code not in mapping and not any(a <= code <= b for a, b, _ in notdef):
                notdef_code = code
                break
        assert notdef_code is not None, name
        records.append('    {"%s", CodeSpace::%s, %d, %s_ranges, %d, %s, %d, %s, %d, %s, 0x%X},'
                       % (name, kind, supplement, cname(name), len(short),
                          (cname(name) + "_wide") if wide else "nullptr", len(wide),
                          (cname(name) + "_notdef") if notdef else "nullptr", len(notdef),
                          "&kCMaps[%d]" % [n for n, _, _ in CMAPS].index(base) if base else "nullptr",
                          notdef_code))
    w("")
    w("const CMapRecord kCMaps[kCMapCount] = {")
    for r in records:
        w(r)
    w("};")
    w("static_assert(sizeof(kCMaps) / sizeof(kCMaps[0]) == kCMapCount);")
    w("")
    styles = []
    for style, path in (("Gothic", GOTHIC), ("Mincho", MINCHO)):
        widths, metrics = ipaex_widths(path)
        runs = width_runs(widths)
        emit_triples(w, "static const CodeRange16 kWidths%s[%d]" % (style, len(runs)), runs, "{%d, %d, %d}")
        styles.append("    {kWidths%s, %d, {%d, %d, %d, %d}, %d, %d}," % ((style, len(runs)) + metrics))
    w("")
    w("// Gothic, then Mincho: widths other than 1000 by CID, and bounding box, cap height and")
    w("// x height in 1/1000 em.")
    w("const StyleRecord kStyles[2] = {")
    for s in styles:
        w(s)
    w("};")
    w("")
    w("}  // namespace pdfengine::ciddata")
    with open(OUT, "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
