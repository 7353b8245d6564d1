"""Writes C++ array initialisers for the table generators, wrapped at 100 columns."""


def emit_array(w, decl, items):
    """w: a function taking one line; decl: the declaration before " = {";
    items: the initialiser texts, one per element."""
    w(decl + " = {")
    line = "   "
    for item in items:
        item = " " + item + ","
        if len(line) + len(item) > 100:
            w(line)
            line = "   "
        line += item
    w(line)
    w("};")
