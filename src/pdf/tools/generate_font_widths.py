#!/usr/bin/env python3
"""Generates src/pdf/PdfFontWidths.cpp: the widths of character codes 32 to 255 in
WinAnsiEncoding for the twelve standard Type 1 fonts the PDF writer offers.

The widths come from the Adobe Font Metrics of the PDF standard 14 fonts, as Debian ships them
inside libpdfbox2-java (org/apache/pdfbox/resources/afm/*.afm in /usr/share/java/pdfbox2.jar).
Needed only to regenerate the table, never to build:

    apt-get install libpdfbox2-java
    src/pdf/tools/generate_font_widths.py /usr/share/java/pdfbox2.jar src/pdf/PdfFontWidths.cpp
    clang-format -i src/pdf/PdfFontWidths.cpp

The first argument may also be a folder holding the .afm files.
Codes without a character in WinAnsiEncoding, the no-break space (160) and the soft hyphen
(173) measure 0, except in the fixed-pitch fonts, where every code measures the pitch.
"""

import os
import sys
import zipfile

# WinAnsiEncoding (PDF Reference, character set appendix): glyph names of codes 32 to 255;
# None where the encoding has no character.
WIN_ANSI = (
    "space exclam quotedbl numbersign dollar percent ampersand quotesingle parenleft parenright "
    "asterisk plus comma hyphen period slash zero one two three four five six seven eight nine "
    "colon semicolon less equal greater question at A B C D E F G H I J K L M N O P Q R S T U V "
    "W X Y Z bracketleft backslash bracketright asciicircum underscore grave a b c d e f g h i j "
    "k l m n o p q r s t u v w x y z braceleft bar braceright asciitilde - "
    "Euro - quotesinglbase florin quotedblbase ellipsis dagger daggerdbl circumflex perthousand "
    "Scaron guilsinglleft OE - Zcaron - - quoteleft quoteright quotedblleft quotedblright bullet "
    "endash emdash tilde trademark scaron guilsinglright oe - zcaron Ydieresis "
    "space exclamdown cent sterling currency yen brokenbar section dieresis copyright "
    "ordfeminine guillemotleft logicalnot hyphen registered macron degree plusminus twosuperior "
    "threesuperior acute mu paragraph periodcentered cedilla onesuperior ordmasculine "
    "guillemotright onequarter onehalf threequarters questiondown Agrave Aacute Acircumflex "
    "Atilde Adieresis Aring AE Ccedilla Egrave Eacute Ecircumflex Edieresis Igrave Iacute "
    "Icircumflex Idieresis Eth Ntilde Ograve Oacute Ocircumflex Otilde Odieresis multiply Oslash "
    "Ugrave Uacute Ucircumflex Udieresis Yacute Thorn germandbls agrave aacute acircumflex "
    "atilde adieresis aring ae ccedilla egrave eacute ecircumflex edieresis igrave iacute "
    "icircumflex idieresis eth ntilde ograve oacute ocircumflex otilde odieresis divide oslash "
    "ugrave uacute ucircumflex udieresis yacute thorn ydieresis"
).split()
WIN_ANSI = [None if name == "-" else name for name in WIN_ANSI]
assert len(WIN_ANSI) == 224, len(WIN_ANSI)

ZERO_CODES = {160, 173}

# C++ table name -> AFM font name, in the order the tables are written.
FONTS = [
    ("kCourierWidths", "Courier"),
    ("kCourierBoldWidths", "Courier-Bold"),
    ("kCourierObliqueWidths", "Courier-Oblique"),
    ("kCourierBoldObliqueWidths", "Courier-BoldOblique"),
    ("kHelveticaWidths", "Helvetica"),
    ("kHelveticaBoldWidths", "Helvetica-Bold"),
    ("kHelveticaObliqueWidths", "Helvetica-Oblique"),
    ("kHelveticaBoldObliqueWidths", "Helvetica-BoldOblique"),
    ("kTimesRomanWidths", "Times-Roman"),
    ("kTimesBoldWidths", "Times-Bold"),
    ("kTimesItalicWidths", "Times-Italic"),
    ("kTimesBoldItalicWidths", "Times-BoldItalic"),
]


def read_afm(source, font):
    name = font + ".afm"
    if os.path.isdir(source):
        with open(os.path.join(source, name), encoding="latin-1") as f:
            return f.read()
    with zipfile.ZipFile(source) as jar:
        return jar.read("org/apache/pdfbox/resources/afm/" + name).decode("latin-1")


def parse_afm(text):
    """Answers (glyph widths by name, fixed pitch or None)."""
    widths = {}
    fixed = False
    in_metrics = False
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("IsFixedPitch"):
            fixed = line.split()[1] == "true"
        elif line.startswith("StartCharMetrics"):
            in_metrics = True
        elif line.startswith("EndCharMetrics"):
            in_metrics = False
        elif in_metrics and line.startswith("C "):
            fields = {}
            for part in line.split(";"):
                tokens = part.split()
                if len(tokens) >= 2:
                    fields[tokens[0]] = tokens[1]
            widths[fields["N"]] = int(fields["WX"])
    pitch = None
    if fixed:
        pitches = set(widths.values())
        assert len(pitches) == 1, pitches
        pitch = pitches.pop()
    return widths, pitch


def table_for(widths, pitch):
    row = []
    for code, glyph in enumerate(WIN_ANSI, start=32):
        if pitch is not None:
            row.append(pitch)
        elif glyph is None or code in ZERO_CODES:
            row.append(0)
        else:
            row.append(widths[glyph])
    return row


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: generate_font_widths.py <pdfbox2.jar or afm folder> <output.cpp>")
    source, output = sys.argv[1], sys.argv[2]
    tables = {}
    for table, font in FONTS:
        tables[table] = table_for(*parse_afm(read_afm(source, font)))
    # The obliques share the upright metrics; say so loudly if a source ever disagrees.
    assert tables["kHelveticaObliqueWidths"] == tables["kHelveticaWidths"]
    assert tables["kHelveticaBoldObliqueWidths"] == tables["kHelveticaBoldWidths"]

    out = [
        "// Generated by src/pdf/tools/generate_font_widths.py from the Adobe Font Metrics of",
        "// the standard 14 fonts. Do not edit: regenerate.",
        "",
        '#include "pdf/PdfFontWidths.h"',
        "",
    ]
    for table, font in FONTS:
        out.append("// %s, codes 32 to 255." % font)
        out.append("const std::int32_t %s[kPdfFontWidthCount] = {" % table)
        row = tables[table]
        for start in range(0, len(row), 16):
            out.append("    " + ", ".join(str(w) for w in row[start:start + 16]) + ",")
        out.append("};")
        out.append("")
    with open(output, "w", encoding="ascii") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
