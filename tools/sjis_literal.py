#!/usr/bin/env python3
"""Prints a C string literal holding the code page 932 bytes of a text.

Messages of the program are Shift-JIS bytes; sources are UTF-8. Write the Japanese
text in a comment above the literal and paste what this prints:

    tools/sjis_literal.py 'コンフィグレーションファイルが指定されていません'
"""
import sys


def literal(text: str) -> str:
    out = []
    previous_hex = False
    for byte in text.encode("cp932"):
        if byte >= 0x80 or byte < 0x20 or byte in (0x22, 0x5C):
            escapes = {0x0D: "\\r", 0x0A: "\\n", 0x09: "\\t", 0x22: '\\"', 0x5C: "\\\\"}
            out.append(escapes.get(byte, "\\x%02X" % byte))
            previous_hex = byte not in escapes
        else:
            ch = chr(byte)
            # A hex escape swallows following hex digits: close the literal there.
            if previous_hex and ch in "0123456789abcdefABCDEF":
                out.append('" "')
            out.append(ch)
            previous_hex = False
    return '"' + "".join(out) + '"'


if __name__ == "__main__":
    text = " ".join(sys.argv[1:])
    # Let \r and \n be written as escapes on the command line.
    text = text.replace("\\r", "\r").replace("\\n", "\n")
    print(literal(text))
