#!/usr/bin/python3
"""The README's picture of the browser page: headless Chromium at 1280x800
with the given pilot files open and the first one selected.

  tools/web_screenshot.py PAGE_DIR OUTPUT.png PILOT.plt...
"""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import test_web  # noqa: E402  (the test's server and browser set-up)


def main():
    page_dir, output, pilots = sys.argv[1], sys.argv[2], sys.argv[3:]
    server = test_web.serve(os.path.abspath(page_dir), "127.0.0.1")
    page = test_web.Page("http://127.0.0.1:%d/index.html" % server.server_address[1], tempfile.mkdtemp())
    try:
        page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": 1280, "height": 800, "deviceScaleFactor": 1, "mobile": False})
        page.open([os.path.abspath(p) for p in pilots])
        page.select(0)
        page.driver.find_element(test_web.By.ID, "entry").click()
        time.sleep(0.5)
        page.driver.save_screenshot(output)
    finally:
        page.quit()
        server.shutdown()


if __name__ == "__main__":
    main()
