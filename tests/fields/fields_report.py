#!/usr/bin/python3
"""Prints what pypdf reads of a PDF's form, one tab-separated record a line:

field <full name> <FT> <value or -> <number of kids>
widget <page> <full field name> <AS or -> <linked 0/1> <llx> <lly> <urx> <ury>
font <DR key> <BaseFont> <Subtype> <Encoding> <embedded 0/1> <descendant BaseFont>
acroform <NeedAppearances or ->
ap <full field name> <normal appearance of a text field, lines joined by blanks>
"""
import sys

from pypdf import PdfReader


def full_name(field):
    parts = []
    while field is not None:
        if "/T" in field:
            parts.append(str(field["/T"]))
        field = field.get("/Parent")
        field = field.get_object() if field is not None else None
    return ".".join(reversed(parts))


def text(value):
    return "-" if value is None else str(value)


def main(path):
    reader = PdfReader(path)
    form = reader.trailer["/Root"].get("/AcroForm")
    if form is None:
        print("acroform\tnone")
        return
    form = form.get_object()
    print("acroform\t" + text(form.get("/NeedAppearances")))
    for name, field in (reader.get_fields() or {}).items():
        kids = field.get("/Kids")
        count = len(kids) if kids is not None else 0
        print("\t".join(["field", name, text(field.get("/FT")), text(field.get("/V")), str(count)]))
    for number, page in enumerate(reader.pages, 1):
        for annot in page.get("/Annots") or []:
            widget = annot.get_object()
            if widget.get("/Subtype") != "/Widget":
                continue
            parent = widget.get("/Parent")
            linked = 1
            if parent is not None:
                kids = parent.get_object().get("/Kids") or []
                linked = int(any(k.idnum == annot.idnum for k in kids))
            rect = [str(float(v)) for v in widget["/Rect"]]
            print("\t".join(["widget", str(number), full_name(widget), text(widget.get("/AS")), str(linked)] + rect))
            normal = widget.get("/AP", {}).get("/N")
            normal = normal.get_object() if normal is not None else None
            if hasattr(normal, "get_data"):
                content = normal.get_data().decode("latin-1")
                print("\t".join(["ap", full_name(widget), " ".join(content.split())]))
    fonts = form.get("/DR", {}).get("/Font", {})
    for key, ref in fonts.items():
        font = ref.get_object()
        descendant = "-"
        descriptor = font.get("/FontDescriptor")
        if "/DescendantFonts" in font:
            cid = font["/DescendantFonts"][0].get_object()
            descendant = str(cid.get("/BaseFont"))
            descriptor = cid.get("/FontDescriptor")
        embedded = 0
        if descriptor is not None:
            descriptor = descriptor.get_object()
            embedded = int(any(k in descriptor for k in ("/FontFile", "/FontFile2", "/FontFile3")))
        print("\t".join(["font", key, text(font.get("/BaseFont")), text(font.get("/Subtype")),
                         text(font.get("/Encoding")), str(embedded), descendant]))


if __name__ == "__main__":
    main(sys.argv[1])
