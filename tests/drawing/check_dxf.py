#!/usr/bin/python3
"""Reads TELVARO_3B_CIZIMLER.dxf files back with ezdxf and compares them with
the AutoCAD script written beside them.

Usage: check_dxf.py SCRIPT DXF [SCRIPT DXF ...]
For each pair it prints one line, "OK <path>" or "FAIL <path>: <reason>":
the audit must report no error, the entities by kind and layer must be those
the script draws (a PLINE a POLYLINE, each LINE segment a LINE, a CIRCLE, a
TEXT with its style and height, a 3DFACE), and every coordinate must equal
the script's within 1e-6 drawing units.
"""
import sys
from collections import Counter

import ezdxf

TOLERANCE = 1e-6


def numbers(line):
    return [float(v) for v in line.split(",")]


def script_entities(path):
    """The script's entities in order: (kind, layer, coordinates...)."""
    lines = open(path).read().split("\n")
    layer = "0"
    style = None
    entities = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("layer new "):
            layer = line.split()[2]
        elif line.startswith("STYLE "):
            style = line.split()
        elif line == "PLINE":
            points = []
            i += 1
            while lines[i] != "":
                points.append(numbers(lines[i]))
                i += 1
            entities.append(("POLYLINE", layer, points))
        elif line == "LINE":
            points = []
            i += 1
            while lines[i] != "":
                points.append(numbers(lines[i]))
                i += 1
            for a, b in zip(points, points[1:]):
                entities.append(("LINE", layer, [a, b]))
        elif line.startswith("LINE ") and line.endswith(" C"):
            points = [numbers(p) for p in line.split()[1:-1]]
            for a, b in zip(points, points[1:] + points[:1]):
                entities.append(("LINE", layer, [a, b]))
        elif line == "CIRCLE":
            entities.append(("CIRCLE", layer, [numbers(lines[i + 1]), [float(lines[i + 2])]]))
            i += 2
        elif line == "TEXT":
            entities.append(("TEXT", layer, [numbers(lines[i + 1])], lines[i + 2], style[1],
                             float(style[3])))
            i += 2
        elif line == "3DFACE":
            entities.append(("3DFACE", layer, [numbers(lines[i + k]) for k in range(1, 5)]))
            i += 5
        i += 1
    return entities


def dxf_points(e):
    kind = e.dxftype()
    if kind == "POLYLINE":
        # The vertices of the polyline itself; curve-fit vertices (flag 1) lie between them.
        return [list(v.dxf.location)[:2] for v in e.vertices if not v.dxf.flags & 1]
    if kind == "LINE":
        return [list(e.dxf.start)[:2], list(e.dxf.end)[:2]]
    if kind == "CIRCLE":
        return [list(e.dxf.center)[:2], [e.dxf.radius]]
    if kind == "TEXT":
        return [list(e.dxf.insert)[:2]]
    if kind == "3DFACE":
        return [list(v) for v in e.wcs_vertices(close=False)]
    return []


def check(script, dxf):
    doc = ezdxf.readfile(dxf)
    auditor = doc.audit()
    if auditor.has_errors:
        return "audit: " + "; ".join(str(e.message) for e in auditor.errors[:3])
    expected = script_entities(script)
    found = list(doc.modelspace())
    want = Counter((e[0], e[1]) for e in expected)
    got = Counter((e.dxftype(), e.dxf.layer) for e in found)
    if want != got:
        return "entities by kind and layer: script %s, DXF %s" % (dict(want), dict(got))
    for n, (s, d) in enumerate(zip(expected, found)):
        if s[0] != d.dxftype() or s[1] != d.dxf.layer:
            return "entity %d: script %s on %s, DXF %s on %s" % (n, s[0], s[1], d.dxftype(),
                                                                 d.dxf.layer)
        points = dxf_points(d)
        if len(points) != len(s[2]):
            return "entity %d (%s): %d points in the script, %d in the DXF" % (
                n, s[0], len(s[2]), len(points))
        for p, q in zip(s[2], points):
            if len(p) != len(q) and not (len(p) == 2 and len(q) == 3 and q[2] == 0):
                return "entity %d (%s): %s against %s" % (n, s[0], p, q)
            if any(abs(a - b) > TOLERANCE for a, b in zip(p, q)):
                return "entity %d (%s): %s against %s" % (n, s[0], p, q)
        if s[0] == "TEXT":
            if d.dxf.text != s[3] or d.dxf.style != s[4] or abs(d.dxf.height - s[5]) > 1e-12:
                return "text %r in %s of %g against %r in %s of %g" % (
                    s[3], s[4], s[5], d.dxf.text, d.dxf.style, d.dxf.height)
        if s[0] == "POLYLINE" and d.dxf.flags & 2 and not any(v.dxf.flags & 1
                                                               for v in d.vertices):
            return "entity %d: fitted polyline without curve-fit vertices" % n
    return None


def main(args):
    failed = False
    for script, dxf in zip(args[0::2], args[1::2]):
        try:
            reason = check(script, dxf)
        except Exception as error:  # a file ezdxf cannot read at all
            reason = "%s: %s" % (type(error).__name__, error)
        print(("FAIL %s: %s" % (dxf, reason)) if reason else ("OK %s" % dxf))
        failed = failed or reason is not None
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
