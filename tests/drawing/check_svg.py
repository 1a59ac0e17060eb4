#!/usr/bin/python3
"""Reads TELVARO_3B_CIZIMLER.svg files as XML and their DXF files with ezdxf
and compares them.

Usage: check_svg.py DXF SVG [DXF SVG ...]
For each pair it prints one line, "OK <path>" or "FAIL <path>: <reason>": the
SVG must be well-formed, and its elements by kind and layer must be the DXF's
entities by kind and layer (a POLYLINE a path, a LINE a line, a CIRCLE a
circle, a TEXT a text with the same string, a 3DFACE a polygon).
"""
import sys
import xml.etree.ElementTree as ET
from collections import Counter

import ezdxf

KIND = {"path": "POLYLINE", "line": "LINE", "circle": "CIRCLE", "text": "TEXT", "polygon": "3DFACE"}
SVG = "{http://www.w3.org/2000/svg}"


def dxf_entities(path):
    doc = ezdxf.readfile(path)
    kinds = Counter((e.dxftype(), e.dxf.layer) for e in doc.modelspace())
    texts = Counter(e.dxf.text for e in doc.modelspace() if e.dxftype() == "TEXT")
    return kinds, texts


def svg_entities(path):
    root = ET.parse(path).getroot()
    if root.tag != SVG + "svg":
        raise ValueError("the root element is %s" % root.tag)
    kinds, texts = Counter(), Counter()
    for element in root.iter():
        layer = element.get("data-layer")
        if layer is None:
            continue
        kind = KIND[element.tag[len(SVG):]]
        kinds[(kind, layer)] += 1
        if kind == "TEXT":
            texts[element.text or ""] += 1
    return kinds, texts


def compare(dxf, svg):
    try:
        want_kinds, want_texts = dxf_entities(dxf)
        got_kinds, got_texts = svg_entities(svg)
    except Exception as error:  # a file that cannot be read fails its pair
        return "FAIL %s: %s" % (svg, error)
    if not want_kinds:
        return "FAIL %s: the DXF file has no entity" % svg
    if got_kinds != want_kinds:
        diff = (got_kinds - want_kinds) + (want_kinds - got_kinds)
        return "FAIL %s: entities by kind and layer differ: %s" % (svg, dict(diff))
    if got_texts != want_texts:
        return "FAIL %s: the texts differ" % svg
    return "OK %s" % svg


def main():
    args = sys.argv[1:]
    if not args or len(args) % 2:
        print("usage: check_svg.py DXF SVG [DXF SVG ...]")
        return 2
    for dxf, svg in zip(args[0::2], args[1::2]):
        print(compare(dxf, svg))
    return 0


if __name__ == "__main__":
    sys.exit(main())
