#!/usr/bin/env python3
"""The page of a finished run in a real browser: for each example, Korvanti
--json, the form plans of the drawing generator and (where it is built)
korvanti-solid run in a scratch directory, then korvanti-report; headless
Chromium opens Korvanti.html from file:// through WebDriver and the test
checks that the page logs no console error and makes no network request,
that the 3D view has drawn all triangles (the page's marker) and that a
screenshot of it has drawn pixels, and that the numbers of its tables
(read from the DOM) equal those of Korvanti.json. A run without the solid or
the open-water table gives a complete page that names the missing files and
the commands that make them; a directory without a run gives one line naming
Korvanti.json, exit status 1 and no page.

Usage: check_page.py KORVANTI DRAWING SOLID REPORT SOURCE_DIR [EXAMPLE...]
(SOLID may be "-": no solid program built). Exit 77 (skipped) without
chromium, chromedriver or python3-selenium.
"""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

CHROMIUM = shutil.which("chromium")
DRIVER = shutil.which("chromedriver")
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
except ImportError:
    webdriver = None
if not CHROMIUM or not DRIVER or webdriver is None:
    print("chromium, chromium-driver or python3-selenium is not installed: skipped")
    sys.exit(77)

# One example of every series; the solid for the first two only (it takes
# the longest), the open-water table for the first.
EXAMPLES = ["B4-55", "Ka4-70", "Kc4-70", "KC101-80", "Gawn3-65", "NR3-71", "AU4-55"]
WITH_SOLID = {"B4-55", "Ka4-70"}
WITH_OPEN_WATER = {"B4-55"}

failures = []


def fail(text):
    failures.append(text)
    print("FAIL", text, flush=True)


def browser(user_data):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--enable-unsafe-swiftshader", "--use-angle=swiftshader", "--window-size=1280,1600",
                 "--user-data-dir=" + user_data]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    return webdriver.Chrome(service=Service(DRIVER), options=options)


def png_pixels(data):
    """Width, height and rows of (r, g, b) of an 8-bit RGB or RGBA PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, "unexpected PNG layout"
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def run(args, cwd=None, stdin=None):
    return subprocess.run(args, cwd=cwd, input=stdin, capture_output=True, timeout=600)


def make_run(tools, source, directory, example, solid, open_water):
    os.makedirs(directory)
    shutil.copy(os.path.join(source, "examples", example + ".TSK"), os.path.join(directory, "Korvanti.TSK"))
    r = run([tools["korvanti"], "-C", directory, "--json", "--no-pause"], stdin=b"")
    if r.returncode != 0:
        fail("%s: Korvanti exit %d" % (example, r.returncode))
        return False
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    r = subprocess.run([tools["drawing"], "-C", directory, "--form-plans"], env=env,
                       capture_output=True, timeout=300)
    if r.returncode != 0:
        fail("%s: the drawing generator exit %d" % (example, r.returncode))
    if solid:
        r = run([tools["solid"], "-C", directory])
        if r.returncode != 0:
            fail("%s: korvanti-solid exit %d: %s" % (example, r.returncode, r.stderr[-300:]))
    if open_water:
        # A table of the layout the page reads (not published data: the
        # page plots whatever curves the file has).
        rows = ["J,KT,10KQ (-),eta0"]
        for k in range(11):
            J = 0.1 * k
            KT, KQ10 = 0.45 - 0.4 * J, 0.6 - 0.4 * J
            rows.append("%.2f,%.4f,%.4f,%.4f" % (J, KT, KQ10, J * KT / (2 * 3.14159265 * KQ10 / 10)))
        open(os.path.join(directory, "Korvanti_openwater.csv"), "w").write("\n".join(rows) + "\n")
    r = run([tools["report"], "-C", directory])
    if r.returncode != 0 or not os.path.isfile(os.path.join(directory, "Korvanti.html")):
        fail("%s: korvanti-report exit %d: %s" % (example, r.returncode, r.stderr.decode()))
        return False
    return True


def near(text, value, decimals):
    return abs(float(text) - value) <= 0.5 * 10 ** -decimals + 1e-12 * max(1.0, abs(value))


def check_cells(example, what, cells, values, decimals_of):
    for cell, value, decimals in zip(cells, values, decimals_of):
        if value is None:
            if cell.get_attribute("data-value") is not None:
                fail("%s: %s: a value where the JSON has none" % (example, what))
            continue
        exact = cell.get_attribute("data-value")
        if exact is None or float(exact) != value or not near(cell.text, value, decimals):
            fail("%s: %s: page %r (%r), JSON %r" % (example, what, cell.text, exact, value))
            return


RADIAL = [("r_R", 3), ("r_m", 4), ("chord_m", 4), ("pitch_m", 4), ("pitch_ratio", 4),
          ("skew_angle_deg", 3), ("skew_shift_m", 4), ("rake_m", 4), ("max_thickness_m", 5),
          ("max_thickness_position", 3), ("section_area_m2", 6)]


def check_tables(example, driver, doc):
    stations = ([doc["root_station"]] if doc["root_station"] else []) + doc["stations"]
    rows = driver.find_elements(By.CSS_SELECTOR, "#radial-table tbody tr")
    if len(rows) != len(stations):
        fail("%s: %d rows in the radial table for %d stations" % (example, len(rows), len(stations)))
        return
    for k, (row, s) in enumerate(zip(rows, stations)):
        cells = row.find_elements(By.TAG_NAME, "td")
        check_cells(example, "radial row %d" % (k + 1), cells, [s.get(key) for key, _ in RADIAL],
                    [d for _, d in RADIAL])
    b, p = doc["blade"], doc["particulars"]
    figures = driver.find_elements(By.CSS_SELECTOR, "#blade-figures td")
    check_cells(example, "blade figures", figures,
                [b["mass_kg"], b["inertia_shaft_axis_kg_m2"], b["volume_m3"], b["centroid_radius_m"],
                 b["density_kg_m3"]], [1, 2, 6, 3, 0])
    particulars = driver.find_elements(By.CSS_SELECTOR, "#particulars td")
    check_cells(example, "particulars", particulars[2:5],
                [p["area_ratio"], p["pitch_ratio"], p["diameter_m"]], [3, 3, 3])
    # The offsets of every station, collapsed by default: read from the DOM
    # through textContent, which a closed <details> still has.
    tables = driver.find_elements(By.CSS_SELECTOR, "details.station-offsets")
    if len(tables) != len(stations):
        fail("%s: %d offset tables for %d stations" % (example, len(tables), len(stations)))
        return
    if any(t.get_attribute("open") for t in tables):
        fail("%s: the section offsets are not collapsed" % example)
    values = driver.execute_script(
        "return Array.from(document.querySelectorAll('details.station-offsets')).map(function (d) {"
        " return Array.from(d.querySelectorAll('tbody tr')).map(function (r) {"
        "  return Array.from(r.querySelectorAll('td[data-value]')).map(function (c) {"
        "   return [Number(c.dataset.value), c.textContent]; }); }); });")
    for s, table in zip(stations, values):
        o = s["offsets"]
        if len(table) != len(o["x_m"]):
            fail("%s: station r/R %s has %d offset rows" % (example, s["r_R"], len(table)))
            continue
        for j, cells in enumerate(table):
            for (exact, text), value in zip(cells, [o["x_m"][j], o["back_m"][j], o["face_m"][j]]):
                if exact != value or not near(text, value, 5):
                    fail("%s: offsets r/R %s point %d: page %s, JSON %r" % (example, s["r_R"], j + 1, text, value))
                    return


def check_network(example, driver, page_url):
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message.get("method") != "Network.requestWillBeSent":
            continue
        # The page's own requests, and anything that leaves the machine
        # (the browser's own pages, chrome://, are neither).
        url = message["params"]["request"]["url"]
        from_page = message["params"].get("documentURL") == page_url
        outside = url.split(":", 1)[0] in ("http", "https", "ws", "wss", "ftp")
        if (from_page and url != page_url and not url.startswith("data:")) or outside:
            fail("%s: the page requested %s" % (example, url))


def check_console(example, driver):
    for entry in driver.get_log("browser"):
        if entry["level"] == "SEVERE":
            fail("%s: console error: %s" % (example, entry["message"]))


def check_3d(example, driver, directory, shot_dir):
    expected = driver.find_element(By.ID, "viewer-status").get_attribute("data-triangles")
    drawn = None
    for _ in range(100):
        drawn = driver.find_element(By.TAG_NAME, "body").get_attribute("data-triangles-drawn")
        if drawn is not None:
            break
        time.sleep(0.1)
    if drawn != expected:
        fail("%s: %s triangles drawn of %s" % (example, drawn, expected))
        return
    canvas = driver.find_element(By.ID, "viewer-canvas")
    driver.execute_script("arguments[0].scrollIntoView();", canvas)
    shot = driver.get_screenshot_as_png()
    open(os.path.join(shot_dir, example + ".png"), "wb").write(shot)
    rect = driver.execute_script("var r = arguments[0].getBoundingClientRect();"
                                 "return [r.left, r.top, r.width, r.height, window.devicePixelRatio];", canvas)
    width, height, rows = png_pixels(shot)
    ratio = rect[4]
    x0, y0 = int(rect[0] * ratio), int(rect[1] * ratio)
    x1, y1 = min(width, int((rect[0] + rect[2]) * ratio)), min(height, int((rect[1] + rect[3]) * ratio))
    background = (0xee, 0xf2, 0xf6)
    area = max(1, (x1 - x0) * (y1 - y0))
    drawn_pixels = sum(1 for y in range(y0, y1, 2) for x in range(x0, x1, 2)
                       if sum(abs(a - b) for a, b in zip(rows[y][x], background)) > 30) * 4
    if drawn_pixels < 0.03 * area:
        fail("%s: the 3D area of the screenshot has %d drawn pixels of %d" % (example, drawn_pixels, area))


def check_missing(example, driver, directory, solid, open_water, ducted):
    notes = {e.get_attribute("data-missing"): e.text for e in driver.find_elements(By.CSS_SELECTOR, ".missing")}
    want = set()
    if not solid:
        want.add("Korvanti.stl")
    if solid and ducted and not os.path.exists(os.path.join(directory, "Korvanti_nozzle.stl")):
        want.add("Korvanti_nozzle.stl")
    if not open_water:
        want.add("Korvanti_openwater.csv")
    for name in want:
        if name not in notes:
            fail("%s: the page does not say that %s is missing" % (example, name))
        elif ("korvanti-solid" if name.endswith(".stl") else "korvanti-openwater") not in notes[name]:
            fail("%s: the note on %s names no command: %r" % (example, name, notes[name]))
    if solid and "Korvanti.stl" in notes:
        fail("%s: Korvanti.stl is there but the page says %r" % (example, notes["Korvanti.stl"]))


def check_no_run(report, scratch):
    empty = os.path.join(scratch, "no-run")
    os.makedirs(empty)
    r = run([report, "-C", empty])
    lines = r.stderr.decode().splitlines()
    if r.returncode != 1 or len(lines) != 1 or "Korvanti.json" not in lines[0] or r.stdout:
        fail("no run: exit %d, %r" % (r.returncode, r.stderr))
    if os.listdir(empty):
        fail("no run: left %s" % os.listdir(empty))


def main():
    tools = dict(zip(["korvanti", "drawing", "solid", "report"], sys.argv[1:5]))
    source = sys.argv[5]
    examples = sys.argv[6:] or EXAMPLES
    have_solid = tools["solid"] != "-" and os.path.exists(tools["solid"])
    scratch = tempfile.mkdtemp(prefix="korvanti-page-")
    shot_dir = os.environ.get("KORVANTI_PAGE_SHOTS", scratch)
    driver = None
    try:
        check_no_run(tools["report"], scratch)
        driver = browser(os.path.join(scratch, "chromium-profile"))
        for example in examples:
            directory = os.path.join(scratch, example)
            solid = have_solid and example in WITH_SOLID
            open_water = example in WITH_OPEN_WATER
            if not make_run(tools, source, directory, example, solid, open_water):
                continue
            doc = json.load(open(os.path.join(directory, "Korvanti.json")))
            url = "file://" + os.path.join(directory, "Korvanti.html")
            driver.get_log("performance")
            driver.get(url)
            ready = driver.find_element(By.TAG_NAME, "body").get_attribute("data-page-ready")
            if ready != "1":
                fail("%s: the page's script did not finish" % example)
            if solid:
                check_3d(example, driver, directory, shot_dir)
            check_tables(example, driver, doc)
            ducted = doc["particulars"]["series_number"] in (2, 3)
            check_missing(example, driver, directory, solid, open_water, ducted)
            if open_water and len(driver.find_elements(By.CSS_SELECTOR, "#open-water-table tbody tr")) != 11:
                fail("%s: the open-water table does not have the file's 11 rows" % example)
            if not driver.find_elements(By.CSS_SELECTOR, "#plans-view svg [data-layer]"):
                fail("%s: the form plans are not in the page" % example)
            check_console(example, driver)
            check_network(example, driver, url)
            print("checked", example, flush=True)
    finally:
        if driver is not None:
            driver.quit()
        shutil.rmtree(scratch, ignore_errors=True)
    print("%d failed" % len(failures))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
