#!/usr/bin/python3
"""The README's picture of the browser page as an installed app: Chromium's
app window (--app=URL: no tabs, no address bar, the page's own title in the
window manager's frame) under Xvfb with openbox, 1100x720, with the given
pilot files open and the first one selected; saved with 256 colours.

  tools/web_app_screenshot.py PAGE_DIR OUTPUT.png PILOT.plt...

Needs Xvfb, openbox, xdotool and ImageMagick (import, convert).
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import test_web  # noqa: E402  (the test's server)

from selenium import webdriver  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402

WIDTH, HEIGHT = 1200, 760


def main():
    page_dir, output, pilots = sys.argv[1], sys.argv[2], sys.argv[3:]
    display = ":%d" % (90 + os.getpid() % 100)
    env = dict(os.environ, DISPLAY=display)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "%dx%dx24" % (WIDTH + 40, HEIGHT + 60), "-nolisten", "tcp"])
    time.sleep(1)
    wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    server = test_web.serve(os.path.abspath(page_dir), "127.0.0.1")
    profile = tempfile.mkdtemp(prefix="vantrel-app-")
    driver = None
    try:
        url = "http://127.0.0.1:%d/index.html" % server.server_address[1]
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--app=" + url, "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-sync",
                     "--disable-background-networking", "--disable-component-update", "--disable-dev-shm-usage",
                     "--window-position=0,0", "--window-size=%d,%d" % (WIDTH, HEIGHT), "--user-data-dir=" + profile):
            options.add_argument(flag)
        # No "controlled by automated test software" bar.
        options.add_experimental_option("excludeSwitches", ["enable-automation"])
        os.environ["DISPLAY"] = display
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        wait = WebDriverWait(driver, 60, poll_frequency=0.05)
        wait.until(lambda d: d.execute_script("return document.body && document.body.dataset.ready === '1'"))
        driver.find_element(By.ID, "files").send_keys("\n".join(os.path.abspath(p) for p in pilots))
        wait.until(lambda d: d.execute_script("return Number(document.body.dataset.opened || 0)") == len(pilots))
        driver.find_elements(By.CSS_SELECTOR, "#pilot-list li")[0].click()
        time.sleep(1.5)
        # The app window with the window manager's frame around it.
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Vantrel"], env=env,
                                capture_output=True, text=True).stdout.split()
        raw = output + ".full.png"
        subprocess.run(["import", "-frame", "-window", window[-1], raw], env=env, check=True)
        subprocess.run(["convert", raw, "-depth", "8", "-colors", "256", "-strip", "PNG8:" + output], check=True)
        os.remove(raw)
    finally:
        if driver:
            driver.quit()
        server.shutdown()
        wm.terminate()
        xvfb.terminate()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
