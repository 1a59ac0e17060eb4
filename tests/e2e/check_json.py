#!/usr/bin/env python3
"""Korvanti --json on the example of every series, in a scratch directory:
Korvanti.json is valid against docs/schema/Korvanti.schema.json, its numbers
equal those of PEROF.SON, SEHAM.DAT and Korvanti.SON to the digits those
files print, and a run without --json writes the same files byte for byte
(and the same console), only without Korvanti.json.

Usage: check_json.py KORVANTI SOURCE_DIR [EXAMPLE...]; exit 77 (skipped)
without python3-jsonschema."""
import json
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import jsonschema
except ImportError:
    print("python3-jsonschema is not installed: skipped")
    sys.exit(77)

EXAMPLES = ["B4-55", "Ka4-70", "Kc4-70", "KC101-80", "Gawn3-65", "NR3-71", "AU4-55", "B4-55-BK"]
FLOAT_EPS = 2.0 ** -23


def half_unit(token):
    """Half a unit of the last digit printed in `token` (F or E edit)."""
    m = re.fullmatch(r"\s*-?(\d*)\.(\d*)(?:E([+-]?\d+))?\s*", token)
    if not m:
        raise ValueError("not a printed number: %r" % token)
    decimals = len(m.group(2))
    exponent = int(m.group(3) or 0)
    return 0.5 * 10.0 ** (exponent - decimals)


class Checker:
    def __init__(self, name):
        self.name = name
        self.failures = []
        self.count = 0

    def near(self, what, value, token, scale=1.0, magnitude=None):
        """value (from the JSON, times scale) equals the printed token."""
        printed = float(token)
        got = value * scale
        size = max(abs(printed), abs(magnitude or 0.0))
        # Half a printed unit, and a few float roundings of the sum the
        # program formed before printing (ordinates plus the radius).
        allowed = half_unit(token) + 4 * FLOAT_EPS * size * max(1.0, abs(scale))
        self.count += 1
        if not math.isfinite(got) or abs(got - printed) > allowed:
            self.failures.append("%s: %s: JSON %r, file %s" % (self.name, what, got, token.strip()))


def check_offsets_file(c, doc, text):
    tokens = text.split("\n")
    lines = [l for l in tokens if l.strip() != ""]
    stations = ([doc["root_station"]] if doc["root_station"] else []) + doc["stations"]
    if int(lines[0]) != len(stations):
        c.failures.append("%s: PEROF.SON has %s stations, JSON %d" % (c.name, lines[0], len(stations)))
        return
    p = doc["particulars"]
    if lines[1] != p["series_label"] or int(lines[3]) != p["blade_count"]:
        c.failures.append("%s: PEROF.SON title or blade count differ" % c.name)
    c.near("D", p["diameter_m"], lines[2])
    k = 4
    for i, s in enumerate(stations):
        row = lines[k].split()
        k += 1
        for key, token in zip(["r_m", "pitch_m", "chord_m", "rake_m", "skew_shift_m"], row):
            c.near("station %d %s" % (i + 1, key), s[key], token)
    for i, s in enumerate(stations):
        n = int(lines[k])
        k += 1
        o = s["offsets"]
        if n != len(o["x_m"]) or n != len(o["back_m"]) or n != len(o["face_m"]):
            c.failures.append("%s: station %d has %d points in PEROF.SON" % (c.name, i + 1, n))
            return
        for j in range(n):
            x, yb, yf = lines[k].split()
            k += 1
            where = "station %d point %d" % (i + 1, j + 1)
            c.near(where + " x", o["x_m"][j], x)
            c.near(where + " back", o["back_m"][j] + s["r_m"], yb, magnitude=s["r_m"])
            c.near(where + " face", o["face_m"][j] + s["r_m"], yf, magnitude=s["r_m"])
    n = int(lines[k])
    k += 1
    hub = doc["hub_profile"]
    if n != len(hub["x_m"]) or n != len(hub["radius_m"]):
        c.failures.append("%s: the hub profile has %d points in PEROF.SON" % (c.name, n))
        return
    for j in range(n):
        x, rh = lines[k].split()
        k += 1
        c.near("hub point %d x" % (j + 1), hub["x_m"][j], x)
        c.near("hub point %d radius" % (j + 1), hub["radius_m"][j], rh)


def check_summary(c, doc, text):
    rows = text.splitlines()[1:]
    root = doc["root_station"]
    # SEHAM.DAT always starts with the root row; the JSON keeps the root
    # station only where PEROF.SON has it.
    stations = doc["stations"]
    body = rows[1:]
    if root is not None:
        first = rows[0].split()
        c.near("root r/R", root["r_R"], first[0])
        c.near("root tm/D", root["max_thickness_m"] / doc["particulars"]["diameter_m"], first[2])
        c.near("root skew", root["skew_angle_deg"], first[3])
    for i, (s, row) in enumerate(zip(stations, body)):
        f = row.split()
        D = doc["particulars"]["diameter_m"]
        c.near("station %d r/R" % (i + 1), s["r_R"], f[0])
        c.near("station %d c/D" % (i + 1), s["chord_m"] / D, f[1], magnitude=1.0)
        c.near("station %d tm/D" % (i + 1), s["max_thickness_m"] / D, f[2], magnitude=1.0)
        c.near("station %d skew" % (i + 1), s["skew_angle_deg"], f[3], magnitude=abs(s["skew_angle_deg"]))
        c.near("station %d P/D" % (i + 1), s["pitch_ratio"], f[5])


def check_mass(c, doc, text):
    b = doc["blade"]

    def printed(pattern):
        m = re.search(pattern, text)
        if not m:
            c.failures.append("%s: Korvanti.SON has no line %r" % (c.name, pattern))
            return None
        return m

    m = printed(r"\n m     = (.{8}) kg \((.{8}) kg basit toplam\)")
    if m:
        c.near("mass", b["mass_kg"], m.group(1))
        c.near("mass strip sum", b["mass_strip_sum_kg"], m.group(2))
    m = printed(r"\n Iox   = (.{8}) kg\*m2 \(saft eksenine gore\) \((.{6}) kg\*m2")
    if m:
        c.near("Iox", b["inertia_shaft_axis_kg_m2"], m.group(1))
        c.near("Iox strip sum", b["inertia_strip_sum_kg_m2"], m.group(2))
    m = printed(r"\n V     = (.{8})   cm3")
    if m:
        c.near("V", b["volume_m3"], m.group(1), scale=1e6)
    m = printed(r"\n Zc    = (.{6}) m")
    if m:
        c.near("Zc", b["centroid_radius_m"], m.group(1))
    m = printed(r"\n rho_m = (.{6}) kg/m3")
    if m:
        c.near("rho", b["density_kg_m3"], m.group(1))
    rows = re.findall(r"\n  ?(\d+)  (.{6})  (.{8}) ", text[text.find("Ax(i)"):])
    stations = doc["stations"]
    if len(rows) < len(stations):
        c.failures.append("%s: the mass table has %d rows" % (c.name, len(rows)))
        return
    for s, (i, r, area) in zip(stations, rows):
        c.near("station %s r (cm)" % i, s["r_m"], r, scale=100.0)
        c.near("station %s area (cm2)" % i, s["section_area_m2"], area, scale=1e4)


def run(korvanti, source, directory, example, json_option):
    os.makedirs(directory)
    shutil.copy(os.path.join(source, "examples", example + ".TSK"), os.path.join(directory, "Korvanti.TSK"))
    args = [korvanti, "-C", directory, "--no-pause"] + (["--json"] if json_option else [])
    result = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    return result


def files_of(directory):
    return {n: open(os.path.join(directory, n), "rb").read() for n in sorted(os.listdir(directory))}


def main():
    korvanti, source = sys.argv[1], sys.argv[2]
    examples = sys.argv[3:] or EXAMPLES
    schema = json.load(open(os.path.join(source, "docs", "schema", "Korvanti.schema.json")))
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    failures = []
    checked = 0
    scratch = tempfile.mkdtemp(prefix="korvanti-json-")
    try:
        for example in examples:
            c = Checker(example)
            with_json = os.path.join(scratch, example, "json")
            without = os.path.join(scratch, example, "plain")
            a = run(korvanti, source, with_json, example, True)
            b = run(korvanti, source, without, example, False)
            if a.returncode != 0 or b.returncode != 0:
                failures.append("%s: exit %d / %d" % (example, a.returncode, b.returncode))
                continue
            fa, fb = files_of(with_json), files_of(without)
            doc_bytes = fa.pop("Korvanti.json", None)
            if doc_bytes is None:
                failures.append("%s: --json wrote no Korvanti.json" % example)
                continue
            if fa != fb or a.stdout != b.stdout:
                failures.append("%s: --json changed the other files or the console" % example)
            doc = json.loads(doc_bytes)
            errors = sorted(validator.iter_errors(doc), key=lambda e: list(e.path))
            failures += ["%s: schema: %s at %s" % (example, e.message, list(e.path)) for e in errors[:5]]
            listed = set(doc["files"])
            on_disk = set(files_of(with_json)) - {"Korvanti.TSK"}
            if listed != on_disk:
                failures.append("%s: files listed %s, written %s" % (example, sorted(listed), sorted(on_disk)))
            check_offsets_file(c, doc, fa["PEROF.SON"].decode())
            check_summary(c, doc, fa["SEHAM.DAT"].decode())
            check_mass(c, doc, fa["Korvanti.SON"].decode())
            failures += c.failures[:10]
            checked += c.count
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    for f in failures:
        print("FAIL", f)
    print("%d numbers of %d runs compared" % (checked, len(examples)))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
