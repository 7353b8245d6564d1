"""Writes the benchmark jobs' inputs into a folder: configurations (Shift-JIS, as
every configuration is), the block definitions of the form and a PNG picture.
Everything is generated, so nothing large lives in the repository."""

import os
import struct
import zlib

GOTHIC = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf"

# Characters the Japanese texts are made of; a page picks its own, so every page
# differs and the font subset grows as a real run's would.
KANJI = ("東京都千代田区丸の内一二三四五六七八九十株式会社商事工業販売物流電機"
         "山田佐藤鈴木高橋田中渡辺伊藤中村小林加藤吉田山本松本井上木村林清水"
         "請求書御中合計金額税込支払期日振込先銀行支店普通預金口座番号様宛")
LATIN_WORDS = ("Invoice", "Account", "Amount", "Balance", "Payment", "Customer",
               "Reference", "Statement", "Period", "Total", "Tax", "Due")


def japanese(page, slot, length=12):
    chars = [KANJI[(page * 7 + slot * 13 + i * 31) % len(KANJI)] for i in range(length)]
    return "".join(chars) + f" {page:05d}"


def latin(page, slot):
    word = LATIN_WORDS[(page + slot) % len(LATIN_WORDS)]
    return f"{word} {slot:02d}: {page * 97 + slot * 1013:,} JPY ref {page:06d}-{slot:02d}"


def sections_to_text(sections):
    out = []
    for name, keys in sections:
        out.append(f"[{name}]")
        out.extend(f"{k}={v}" for k, v in keys)
        out.append("")
    return "\r\n".join(out).encode("cp932")


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def statement_page(page):
    """The objects of one statement page: 20 Latin texts, 10 Japanese texts in the
    embedded IPAex Gothic subset, 10 lines and 3 rectangles."""
    objects = []
    for i in range(20):
        objects.append([("object_type", "text"), ("text", latin(page, i)),
                        ("x", 220 + (i % 2) * 900), ("y", 900 + (i // 2) * 80),
                        ("align", "right" if i % 4 == 3 else "left"),
                        ("face", "Helvetica"), ("encoding", "winansi"), ("size", 10)])
    for i in range(10):
        objects.append([("object_type", "text"), ("text", japanese(page, i)),
                        ("x", 220), ("y", 1800 + i * 80),
                        ("face", "IPAexGothic"), ("file", GOTHIC),
                        ("encoding", "unicode"), ("size", 11)])
    for i in range(10):
        objects.append([("object_type", "line"), ("left", 200), ("top", 1700 + i * 90),
                        ("right", 1900), ("bottom", 1700 + i * 90), ("width", 3),
                        ("color", "1F3864")])
    for i in range(3):
        objects.append([("object_type", "rect"), ("left", 200 + i * 600), ("top", 2700),
                        ("right", 700 + i * 600), ("bottom", 2850), ("width", 4),
                        ("color", "1F3864"), ("bgcolor", "DDE4F0" if i == 1 else "000000")])
    return objects


def document(pdf_name, background, pages, page_objects):
    sections = [("PDF", [("pdfName", pdf_name), ("pdiName", background),
                         ("title", "明細書"), ("author", "Quillon bench"),
                         ("pages", pages)])]
    for n in range(1, pages + 1):
        objects = page_objects(n)
        page_keys = [("objects", len(objects))]
        if background:
            page_keys.insert(0, ("pdiPage", 1))
        sections.append((f"PAGE_{n}", page_keys))
        for m, keys in enumerate(objects, 1):
            sections.append((f"PUT_{n}_{m}", keys))
    return sections_to_text(sections)


def background_conf(source_conf, pdf_name):
    """The demo's background form with its output moved into the job folder."""
    with open(source_conf, "rb") as f:
        lines = f.read().split(b"\n")
    out = []
    for line in lines:
        if line.startswith(b"pdfName="):
            line = b"pdfName=" + pdf_name.encode() + b"\r"
        out.append(line)
    return b"\n".join(out)


def png(width, height):
    """A small RGB picture: a colour gradient, compressed as PNG."""
    rows = b"".join(b"\0" + bytes(v for x in range(width)
                                  for v in (x * 255 // width, y * 255 // height, 128))
                    for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


BLOCKS = 20


def block_name(i):
    return f"field{i:02d}" if i % 2 == 0 else f"項目{i:02d}"


def blocks_ini():
    """20 text blocks (even ones Latin in Helvetica, odd ones Japanese in the
    Japanese standard font) and one image block."""
    sections = []
    for i in range(BLOCKS):
        keys = [("page", 1), ("x", 240 + (i % 2) * 880), ("y", 1500 + (i // 2) * 100),
                ("width", 800), ("height", 70), ("fontsize", 10),
                ("position", "left center"), ("fitmethod", "auto")]
        keys.append(("fontname", "Helvetica" if i % 2 == 0 else "HeiseiKakuGo-W5"))
        sections.append((block_name(i), keys))
    sections.append(("logo", [("type", "image"), ("page", 1), ("x", 1500), ("y", 2550),
                              ("width", 400), ("height", 300), ("fitmethod", "meet")]))
    return sections_to_text(sections)


def blocks_page(picture):
    def objects(page):
        result = []
        for i in range(BLOCKS):
            text = latin(page, i) if i % 2 == 0 else japanese(page, i, 8)
            result.append([("object_type", "block"), ("type", "text"),
                           ("name", block_name(i)), ("description", text)])
        result.append([("object_type", "block"), ("type", "image"), ("name", "logo"),
                       ("description", picture)])
        return result
    return objects


def config_load_page(page):
    """40 objects of every kind the loader reads, fonts with and without files."""
    objects = statement_page(page)
    return objects[:37] + objects[40:]


def generate(folder, source_conf, names):
    """Writes the inputs of the jobs named (and what they share); returns a function
    giving the path of a file in folder."""
    os.makedirs(folder, exist_ok=True)
    p = lambda name: os.path.join(folder, name)
    write(p("background.conf"), background_conf(source_conf, p("background.pdf")))
    write(p("blocks.ini"), blocks_ini())
    write(p("logo.png"), png(120, 90))
    write(p("one-page.conf"), document(p("one-page.pdf"), p("background.pdf"), 1, statement_page))
    for pages in (1000, 10000):
        if f"statement-{pages}" in names:
            write(p(f"statement-{pages}.conf"),
                  document(p(f"statement-{pages}.pdf"), p("background.pdf"), pages, statement_page))
    if "blocks-1000" in names:
        write(p("blocks-1.conf"),
              document(p("blocks-1.pdf"), p("form.pdf"), 1, blocks_page(p("logo.png"))))
        write(p("blocks-1000.conf"),
              document(p("blocks-1000.pdf"), p("form.pdf"), 1000, blocks_page(p("logo.png"))))
    if "config-load" in names:
        write(p("config-load.conf"),
              document(p("config-load.pdf"), p("background.pdf"), 1000, config_load_page))
    return p
