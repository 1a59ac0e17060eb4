#!/usr/bin/env python3
"""Opens a page in headless Chromium (software WebGL) from file:// five
times and prints the best and the median time from the start of navigation
to the end of the load event and to the 3D view's first drawing, as the
page's performance timeline measures them, and the wall time of the open."""
import statistics
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By


def main():
    page = "file://" + sys.argv[1]
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--enable-unsafe-swiftshader", "--use-angle=swiftshader", "--window-size=1280,1600",
                 "--user-data-dir=" + tempfile.mkdtemp(prefix="korvanti-bench-chromium-")]:
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    loads, wall = [], []
    try:
        for _ in range(5):
            driver.get("about:blank")
            start = time.monotonic()
            driver.get(page)
            while driver.find_element(By.TAG_NAME, "body").get_attribute("data-triangles-drawn") is None:
                time.sleep(0.01)
            wall.append(time.monotonic() - start)
            loads.append(driver.execute_script(
                "var t = performance.getEntriesByType('navigation')[0]; return t.loadEventEnd;") / 1000)
    finally:
        driver.quit()
    print("Chromium, file://: load event %.2f s best, %.2f s median; open until drawn %.2f s best, %.2f s median"
          % (min(loads), statistics.median(loads), min(wall), statistics.median(wall)))


if __name__ == "__main__":
    main()
