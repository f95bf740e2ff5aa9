#!/usr/bin/python3
"""The browser page against vantrel-cli, in headless Chromium.

Opens pilot files through the page's file input and compares every text the
page shows or gives for download with what vantrel-cli prints or writes for
the same files and settings: report, entry, table cells, the CSV's bytes,
mission listing, diff, the changed file's bytes, the main log's bytes, the
refusals and the load errors. Also checks that the page's
Content-Security-Policy blocks a request to any other address.

Usage: test_web.py --page DIR --cli PATH --sample PILOT [--real DIR]
Prints one line per failed comparison and a closing summary line; exits 1
on any failure.
"""
import argparse
import functools
import http.server
import os
import random
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from xml.etree import ElementTree

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

PILOT_SIZE = 152076


def printed_line(text):
    """One line as vantrel-cli prints it: every control character but the
    tab, and every bidi override or isolate, as U+FFFD. The page's entry
    keeps the main log's text, which vantrel-cli entry prints so."""
    def shown(c):
        n = ord(c)
        control = (n < 0x20 and c != "\t") or 0x7F <= n <= 0x9F or 0x202A <= n <= 0x202E or 0x2066 <= n <= 0x2069
        return "\ufffd" if control else c
    return "".join(shown(c) for c in text)


class Run:
    def __init__(self):
        self.checks = 0
        self.failures = []

    def check(self, what, expected, actual):
        self.checks += 1
        if expected != actual:
            self.failures.append(what)
            print("MISMATCH %s\n  vantrel-cli: %r\n  page:        %r" % (what, clip(expected), clip(actual)))
            return False
        return True


def clip(value):
    text = repr(value)
    return value if len(text) < 600 else text[:600] + "..."


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{".wasm": "application/wasm"})

    def log_message(self, *args):
        pass


def serve(directory, host):
    server = http.server.ThreadingHTTPServer((host, 0), functools.partial(QuietHandler, directory=directory))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class Recorder(http.server.BaseHTTPRequestHandler):
    """Another address: notes every request that reaches it."""
    hits = []

    def do_GET(self):
        Recorder.hits.append(self.path)
        self.send_response(200)
        self.send_header("Access-Control-Allow-Origin", "*")
        self.end_headers()
        self.wfile.write(b"reached")

    def log_message(self, *args):
        pass


class Cli:
    def __init__(self, binary, home):
        self.binary = binary
        self.env = dict(os.environ, LC_ALL="C", LANG="C", XDG_DATA_HOME=home, XDG_CONFIG_HOME=home, HOME=home)

    def __call__(self, args, cwd):
        done = subprocess.run([self.binary] + args, cwd=cwd, env=self.env, capture_output=True, timeout=60)
        return done.returncode, done.stdout, done.stderr


class Page:
    def __init__(self, url, downloads):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        self.profile = tempfile.mkdtemp(prefix="vantrel-chromium-")
        for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--disable-dev-shm-usage", "--window-size=1280,800", "--user-data-dir=" + self.profile):
            options.add_argument(flag)
        options.add_experimental_option("prefs", {
            "download.default_directory": downloads,
            "download.prompt_for_download": False,
            "download.directory_upgrade": True,
            "safebrowsing.enabled": False,
        })
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.downloads = downloads
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
        self.url = url
        self.reload()

    def reload(self):
        self.driver.get(self.url)
        self.wait(lambda d: d.execute_script("return document.body.dataset.ready === '1'"))

    def wait(self, condition, timeout=60):
        WebDriverWait(self.driver, timeout, poll_frequency=0.02).until(condition)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def close_all(self):
        self.driver.find_element(By.ID, "close-all").click()

    def open(self, paths):
        before = int(self.js("return Number(document.body.dataset.opened || 0)"))
        self.driver.find_element(By.ID, "files").send_keys("\n".join(paths))
        self.wait(lambda d: int(d.execute_script("return Number(document.body.dataset.opened || 0)")) == before + len(paths)
                  and not d.execute_script("return 'busy' in document.body.dataset"))

    def select(self, index):
        self.driver.find_elements(By.CSS_SELECTOR, "#pilot-list li")[index].click()

    def text(self, element_id):
        return self.js("return document.getElementById(arguments[0]).textContent", element_id)

    def value(self, element_id):
        return self.js("return document.getElementById(arguments[0]).value", element_id)

    def set_value(self, element_id, value, event="input"):
        self.js("const e = document.getElementById(arguments[0]); e.value = arguments[1];"
                "e.dispatchEvent(new Event(arguments[2], {bubbles: true}));", element_id, value, event)

    def download(self, button_id, name):
        for old in os.listdir(self.downloads):
            os.remove(os.path.join(self.downloads, old))
        self.driver.find_element(By.ID, button_id).click()
        target = os.path.join(self.downloads, name)
        deadline = time.time() + 30
        while time.time() < deadline:
            names = os.listdir(self.downloads)
            if name in names and not any(n.endswith(".crdownload") for n in names):
                with open(target, "rb") as f:
                    return f.read()
            time.sleep(0.05)
        return None

    def quit(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)


def odd_pilots(sample, folder):
    """Pilots nobody's game wrote: the sample with odd names and bytes changed
    at random (seeded), random bytes of the right size, and files that are no
    pilot file at all. Returns (pilot paths, non-pilot paths)."""
    with open(sample, "rb") as f:
        base = f.read()
    names = [
        ("Comma_name.plt", 'Ab, "Cd"\te'.encode("cp1252")),
        ("Wedge Antilles.plt", "Wédge™ Œ".encode("cp1252")),
        ("full13.plt", b"ABCDEFGHIJKLM"),
        ("ctrl.plt", b"K\ne\rs\x1f\x7fr\x81\x8d"),
    ]
    pilots = []
    for k, (file_name, name) in enumerate(names):
        image = bytearray(base)
        image[0:13] = name.ljust(13, b"\0")
        rng = random.Random(22 + k)
        for _ in range(400 * k):
            image[rng.randrange(13, PILOT_SIZE)] = rng.randrange(256)
        path = os.path.join(folder, file_name)
        with open(path, "wb") as f:
            f.write(image)
        pilots.append(path)
    for seed in (1, 2):
        rng = random.Random(seed)
        path = os.path.join(folder, "noise%d.plt" % seed)
        with open(path, "wb") as f:
            f.write(bytes(rng.randrange(256) for _ in range(PILOT_SIZE)))
        pilots.append(path)
    others = []
    for file_name, data in (("short.plt", base[:1000]), ("long.plt", base + b"\0"), ("empty.plt", b""),
                            ("notes.txt", b"not a pilot file\r\n")):
        path = os.path.join(folder, file_name)
        with open(path, "wb") as f:
            f.write(data)
        others.append(path)
    return pilots, others


SETTINGS = [
    "",
    "[ZADAdeda]\r\nShowMissionTime=1\r\nShowZeroMissions=1\r\nShowErrorDetailes=1\r\nMegaDetails=1\r\n"
    "NameSource=0\r\nScoreFormat=2\r\n",
    "[zadadeda]\nNameSource=1\nScoreFormat=0\nShowMissionScore=0\nShowMissionBonus=0\nCheckCheat=0\nIncludeDate=1\n",
    "[ZADAdeda]\nNameSource=x\n",
]


def compare_files(run, page, cli, paths, label):
    """Opens the files through the file input and compares each file's
    report, entry, load error and table row, the CSV's bytes and diffs."""
    folder = os.path.dirname(paths[0])
    names = [os.path.basename(p) for p in paths]
    page.close_all()
    page.open(paths)

    listed = page.js("return Array.from(document.querySelectorAll('#pilot-list li')).map(li => li.textContent)")
    run.check(label + ": pilot list", names, listed)

    for settings_text in SETTINGS:
        page.set_value("settings", settings_text)
        ini = os.path.join(folder, "settings.ini")
        with open(ini, "w", encoding="utf-8", newline="") as f:
            f.write(settings_text)
        tag = "%s [settings %r]" % (label, settings_text[:40])
        for index, name in enumerate(names):
            page.select(index)
            status, out, err = cli(["report", "--ini", ini, name], folder)
            report = page.text("report")
            load_error = page.text("load-error")
            if status == 0 or out:
                run.check("%s %s: report" % (tag, name), out.decode("utf-8"), report + "\n" if report else "")
            if status != 0 and not out:
                run.check("%s %s: report of a file that did not load" % (tag, name), "", report)
                run.check("%s %s: load error" % (tag, name), err.decode("utf-8"), load_error + "\n")
            else:
                run.check("%s %s: no load error" % (tag, name), "", load_error)
            if status != 0 and out:
                run.check("%s %s: setting error" % (tag, name), err.decode("utf-8"), page.text("report-message") + "\n")
            status, out, err = cli(["entry", "--ini", ini, name], folder)
            entry = page.value("entry")
            run.check("%s %s: entry" % (tag, name), out.decode("utf-8"), printed_line(entry) + "\n" if entry else "")

    # The table: the header and each row's TSV fields, then the CSV's bytes.
    status, out, err = cli(["table"] + names, folder)
    lines = out.decode("utf-8").split("\n")[:-1]
    expected = [line.split("\t") for line in lines]
    header = page.js("return Array.from(document.querySelectorAll('#squad thead th')).map(c => c.textContent)")
    rows = page.js("return Array.from(document.querySelectorAll('#squad tbody tr'))"
                   ".map(r => Array.from(r.cells).map(c => c.textContent))")
    # The review window's Mark column first, then vantrel-cli table's columns.
    run.check(label + ": table header", ["Mark"] + expected[0], header)
    run.check(label + ": table rows", expected[1:], [row[1:] for row in rows])
    # Each row's mark as the review window gives it: "!" errors or other
    # copies that differ, "?" the total warning alone, "X" not loaded.
    col = {name: k for k, name in enumerate(expected[0])}

    def mark_class(fields):
        if fields[col["Load error"]]:
            return "failed"
        if fields[col["Check errors"]] != "0" or fields[col["Other copies differ"]] != "0":
            return "marked"
        return "warned" if fields[col["Total warning"]] == "yes" else ""
    classes = [mark_class(fields) for fields in expected[1:]]
    signs = [{"failed": "X", "marked": "!", "warned": "?", "": ""}[c] for c in classes]
    run.check(label + ": row marks", classes,
              page.js("return Array.from(document.querySelectorAll('#squad tbody tr')).map(r => r.className)"))
    run.check(label + ": Mark column", signs, [row[0] for row in rows])
    status, out, err = cli(["table", "--format", "csv"] + names, folder)
    run.check(label + ": CSV bytes", out, page.download("download-csv", "pilots.csv"))

    # Charts as vantrel-cli chart writes them: each pilot's missions and
    # kills, shown inline and downloaded, and the squadron's columns.
    def show_chart(value):
        Select(page.driver.find_element(By.ID, "chart-kind")).select_by_value(value)
        page.driver.find_element(By.ID, "chart-show").click()

    def inline_title():
        return page.js("const t = document.querySelector('#chart svg > title'); return t ? t.textContent : null")

    for index, name in enumerate(names):
        page.select(index)
        for kind in ("missions", "kills"):
            status, out, err = cli(["chart", "--kind", kind, name], folder)
            show_chart(kind)
            what = "%s %s: %s chart" % (label, name, kind)
            if status == 0:
                title = ElementTree.fromstring(out).find("{http://www.w3.org/2000/svg}title").text
                run.check(what + " shown inline", title, inline_title())
                run.check(what + " bytes", out, page.download("download-svg", "chart.svg"))
            else:
                run.check(what + ": none for a file that did not load", "No chart: %s did not load." % name,
                          page.text("chart"))
    for column in ("Campaign total", "TOD score"):
        status, out, err = cli(["chart", "--kind", "squadron", "--column", column] + names, folder)
        show_chart("squadron:%d" % expected[0].index(column))
        run.check("%s: squadron chart of %s" % (label, column), out, page.download("download-svg", "chart.svg"))

    check_table_review(run, page, label, expected, classes, signs)

    # Sorting by a column and back keeps the rows, in another order.
    page.driver.find_elements(By.CSS_SELECTOR, "#squad thead th button")[6].click()
    sorted_rows = page.js("return Array.from(document.querySelectorAll('#squad tbody tr'))"
                          ".map(r => Array.from(r.cells).slice(1).map(c => c.textContent))")
    run.check(label + ": sorted table holds the same rows", sorted(expected[1:]), sorted(sorted_rows))

    # Diffs of neighbours, and of each file with itself.
    page.set_value("settings", "")
    pairs = [(k, k + 1) for k in range(len(names) - 1)] + [(0, 0)]
    for older, newer in pairs:
        Select(page.driver.find_element(By.ID, "diff-old")).select_by_index(older)
        Select(page.driver.find_element(By.ID, "diff-new")).select_by_index(newer)
        page.driver.find_element(By.ID, "diff-run").click()
        status, out, err = cli(["diff", names[older], names[newer]], folder)
        what = "%s: diff %s %s" % (label, names[older], names[newer])
        if status == 2:
            run.check(what + " (load error)", err.decode("utf-8"), page.text("diff-message") + "\n")
        else:
            run.check(what, out.decode("utf-8"), page.text("diff") + "\n" if page.text("diff") else "")


def check_table_review(run, page, label, expected, classes, signs):
    """The squadron table as the review window has it: the summary line, each
    mark's tooltip (a load error in full), the sort state on the headers and
    Show only marked."""
    col = {name: k for k, name in enumerate(expected[0])}
    counts = [classes.count(c) for c in ("marked", "warned", "failed")]
    run.check(label + ": summary line", "%d %s: %d %s the check, %d with the total warning only, %d did not load" % (
        len(classes), "pilot" if len(classes) == 1 else "pilots", counts[0], "fails" if counts[0] == 1 else "fail",
        counts[1], counts[2]), page.text("table-summary"))
    tips = page.js("return Array.from(document.querySelectorAll('#squad tbody tr'))"
                   ".map(r => [r.title, r.cells[0].title])")
    for fields, kind, (row_tip, mark_tip) in zip(expected[1:], classes, tips):
        what = "%s %s: tooltip" % (label, os.path.basename(fields[0]))
        if kind == "failed":
            run.check(what + " names the whole load error", "Not loaded: " + fields[col["Load error"]], row_tip)
        elif kind == "warned":
            run.check(what + " of the total warning", "Score total warning only: the stored scores do not add up "
                      "to the missions' sum, which may not be a real error", row_tip)
        elif kind == "marked":
            run.check(what + " of a failed check", True, row_tip.startswith("Fails the check: "))
        else:
            run.check(what + ": none on the row, the mark's says passed", ["", "Check passed"], [row_tip, mark_tip])
        if kind:
            run.check(what + ": the mark's is the row's", row_tip, mark_tip)

    # Sorting: the header says which column and which way, with an arrow.
    def sort_state():
        return page.js("return Array.from(document.querySelectorAll('#squad thead th')).map(th => [th.getAttribute("
                       "'aria-sort'), getComputedStyle(th.querySelector('button'), '::after').content])")
    buttons = lambda: page.driver.find_elements(By.CSS_SELECTOR, "#squad thead th button")  # noqa: E731
    run.check(label + ": unsorted, no header says sorted", {"none"}, {state for state, arrow in sort_state()})
    buttons()[0].click()
    state = sort_state()
    run.check(label + ": sorted by Mark: aria-sort and arrow", ["ascending", '" \u25b2"'], list(state[0]))
    run.check(label + ": the other headers unsorted", {"none"}, {s for s, a in state[1:]})
    weight = {"": 0, "?": 1, "!": 2, "X": 3}
    run.check(label + ": Mark sorts passed, warning, failed, not loaded", sorted(signs, key=weight.get),
              [row[0] for row in table_rows(page)])
    buttons()[0].click()
    run.check(label + ": sorted again: descending", ["descending", '" \u25bc"'], list(sort_state()[0]))

    # Show only marked keeps the marked rows, in the order shown.
    shown = table_rows(page)
    page.driver.find_element(By.ID, "only-marked").click()
    run.check(label + ": Show only marked", [row for row in shown if row[0]], table_rows(page))
    page.driver.find_element(By.ID, "only-marked").click()
    run.check(label + ": every row again", shown, table_rows(page))


def compare_missions(run, page, cli, path):
    folder = os.path.dirname(path)
    name = os.path.basename(path)
    page.close_all()
    page.open([path])
    for start, end in (("0", ""), ("2", "5"), ("7", "3"), ("-4", "999"), ("x", "1")):
        page.set_value("from", start, "change")
        page.set_value("to", end, "change")
        page.driver.find_element(By.ID, "list-missions").click()
        args = ["missions"]
        if start != "x":
            args += ["--from", start]
        if end:
            args += ["--to", end]
        status, out, err = cli(args + [name], folder)
        what = "%s: missions from %r to %r" % (name, start, end)
        listing = page.text("missions")
        run.check(what, out.decode("utf-8"), listing + "\n" if listing else "")
        status, out, err = cli(["report"] + (["--from", start] if start != "x" else []) + [name], folder)
        run.check(what + ": report with From", out.decode("utf-8"), page.text("report") + "\n")
    page.set_value("from", "0", "change")


def compare_edits(run, page, cli, path, work):
    """The changed file's bytes against vantrel-cli set on a copy, and the refusals."""
    name = os.path.basename(path)
    with open(path, "rb") as f:
        original = f.read()
    page.close_all()
    page.open([path])
    lists = page.js("return Module.vocabularyLists()")
    loaded = page.js("return Module.details(0)")
    edits = [
        {"edit-name": "Luke S"},
        {"edit-name": "Biggs, \"D\"", "edit-rank": 3, "edit-rating": 24, "edit-kalidor": 6},
        {"edit-mission": min(len(lists["mission"]) - 1, loaded["activeMission"] + 5)},
        {"edit-name": "Über €"},
        {"edit-rank": 0},
        {},
    ]
    options = {"edit-name": "--name", "edit-rank": "--rank", "edit-rating": "--rating", "edit-kalidor": "--kalidor",
               "edit-mission": "--active-mission"}
    for number, edit in enumerate(edits):
        page.select(0)
        args = ["set"]
        for field, value in edit.items():
            if field == "edit-name":
                page.set_value(field, value)
                args += ["--name", value]
            else:
                Select(page.driver.find_element(By.ID, field)).select_by_value(str(value))
                args += [options[field], str(value + 1 if field == "edit-mission" else value)]
        changed = page.download("download-changed", name)
        copy_folder = os.path.join(work, "set%d" % number)
        os.makedirs(copy_folder, exist_ok=True)
        copy = os.path.join(copy_folder, name)
        with open(copy, "wb") as f:
            f.write(original)
        status, out, err = cli(args + [name], copy_folder)
        with open(copy, "rb") as f:
            written = f.read()
        what = "%s: changed file for %s" % (name, " ".join(args[1:]) or "no change")
        run.check(what + " (vantrel-cli status)", 0, status)
        run.check(what, written, changed)
        run.check(what + ": message", out.decode("utf-8").strip(), page.text("edit-message").split(" ")[0] + " " +
                  page.text("edit-message").split(" ")[1])
    with open(path, "rb") as f:
        run.check(name + ": the opened file is unchanged", original, f.read())

    # The refusals: the page names the same reason and gives no file.
    refusals = [
        ("edit-name", "ABCDEFGHIJKLM", ["--name", "ABCDEFGHIJKLM"]),
        ("edit-name", "Ab\tc", ["--name", "Ab\tc"]),
        ("edit-name", "Ω", ["--name", "Ω"]),
    ]
    if loaded["activeMission"] > 1:
        refusals.append(("edit-mission", 0, ["--active-mission", "1"]))
    for field, value, args in refusals:
        page.select(0)
        if field == "edit-name":
            page.set_value(field, value)
        else:
            Select(page.driver.find_element(By.ID, field)).select_by_value(str(value))
        for old in os.listdir(page.downloads):
            os.remove(os.path.join(page.downloads, old))
        page.driver.find_element(By.ID, "download-changed").click()
        page.wait(lambda d: page.text("edit-message") != "")
        message = page.text("edit-message")
        copy_folder = os.path.join(work, "refused")
        os.makedirs(copy_folder, exist_ok=True)
        with open(os.path.join(copy_folder, name), "wb") as f:
            f.write(original)
        status, out, err = cli(["set"] + args + [name], copy_folder)
        first = err.decode("utf-8").split("\n")[0]
        reason = first.split(" ", 2)[2]  # after "vantrel-cli: --option:"
        what = "%s: refusal of %s" % (name, " ".join(repr(a) for a in args))
        run.check(what + " (vantrel-cli refuses)", True, status != 0)
        run.check(what, True, reason.rstrip(".") in message)
        time.sleep(0.2)
        run.check(what + ": nothing downloaded", [], os.listdir(page.downloads))
        with open(os.path.join(copy_folder, name), "rb") as f:
            run.check(what + ": vantrel-cli left the file", original, f.read())


def compare_log(run, page, cli, paths, work):
    """Entries collected in the log panel against vantrel-cli entry --append."""
    page.close_all()
    page.open(paths)
    log_folder = os.path.join(work, "log")
    os.makedirs(log_folder, exist_ok=True)
    log = os.path.join(log_folder, "MainLog.txt")
    with open(log, "wb") as f:
        f.write(b"")
    page.js("document.getElementById('clear-log').click()")
    for index, path in enumerate(paths):
        page.select(index)
        if page.value("entry"):
            page.driver.find_element(By.ID, "add-entry").click()
            cli(["entry", "--append", log, os.path.basename(path)], os.path.dirname(path))
    with open(log, "rb") as f:
        expected = f.read()
    run.check("main log bytes", expected, page.download("download-log", "MainLog.txt"))


# Builds File objects in the page from bytes handed over as base64.
PAGE_FILES = """
window.fileOf = (name, b64) => new File([Uint8Array.from(atob(b64), (c) => c.charCodeAt(0))], name);
window.base64Of = (bytes) => { let s = ''; for (const b of bytes) s += String.fromCharCode(b); return btoa(s); };
"""

# A dropped folder as the browser hands it over: entries whose readers give
# the folder's entries a few at a time, in no particular order.
DROP_ENTRIES = """
const [fileOf, tree] = [window.fileOf, arguments[1]];
function fileEntry(path, b64) {
  // No bytes: a file gone since it was dropped.
  const name = path.split('/').pop();
  const file = b64 === null ? null : fileOf(name, b64);
  return {isFile: true, isDirectory: false, name: name, fullPath: path,
          file: (ok, fail) => setTimeout(() => file ? ok(file) : fail(new DOMException('gone', 'NotFoundError')), 0)};
}
function folderEntry(path, node) {
  // null: a folder the browser will not list.
  if (node === null)
    return {isFile: false, isDirectory: true, name: path.split('/').pop(), fullPath: path,
            createReader: () => ({readEntries: (ok, fail) => setTimeout(() => fail(new DOMException('denied', 'NotReadableError')), 0)})};
  const children = Object.keys(node).reverse().map((name) => typeof node[name] === 'string'
      ? fileEntry(path + '/' + name, node[name]) : folderEntry(path + '/' + name, node[name]));
  return {isFile: false, isDirectory: true, name: path.split('/').pop(), fullPath: path,
          createReader: () => { const left = children.slice();
            return {readEntries: (ok) => setTimeout(() => ok(left.splice(0, 2)), 0)}; }};
}
const items = arguments[0].map(([path, b64]) => fileEntry(path, b64));
for (const name of Object.keys(tree))
  items.push(folderEntry('/' + name, tree[name]));
const event = new DragEvent('drop', {bubbles: true, cancelable: true});
Object.defineProperty(event, 'dataTransfer', {value: {items: items.map((entry) => (
  {kind: 'file', webkitGetAsEntry: () => entry, getAsFile: () => null}))}});
document.getElementById('drop').dispatchEvent(event);
return event.defaultPrevented;
"""


def b64(path):
    import base64
    with open(path, "rb") as f:
        return base64.b64encode(f.read()).decode("ascii")


def opened_names(page):
    return page.js("return Array.from(document.querySelectorAll('#pilot-list li')).map(li => li.textContent)")


def wait_opened(page, count):
    """Whether the page holds `count` opened files within a few seconds."""
    try:
        page.wait(lambda d: int(d.execute_script("return Number(document.body.dataset.opened || 0)")) == count
                  and not d.execute_script("return 'busy' in document.body.dataset"), timeout=10)
        return True
    except Exception:
        return False


def table_rows(page):
    return page.js("return Array.from(document.querySelectorAll('#squad tbody tr'))"
                   ".map(r => Array.from(r.cells).map(c => c.textContent))")


def check_drop(run, page, cli, pilots, others, work):
    """Files and folders dropped onto the page open as through the file
    input: plain files (as a browser without folder entries gives them), and
    a file and a folder given as entries, whose pilot files open in
    vantrel-cli's order with their own bytes."""
    page.js(PAGE_FILES)
    dropped = [pilots[0], pilots[4], others[3]]
    names = [os.path.basename(p) for p in dropped]
    page.close_all()
    page.js("const dt = new DataTransfer();"
            "for (const [name, b64] of arguments[0]) dt.items.add(fileOf(name, b64));"
            "document.getElementById('drop').dispatchEvent("
            "new DragEvent('drop', {bubbles: true, cancelable: true, dataTransfer: dt}));",
            [[n, b64(p)] for n, p in zip(names, dropped)])
    run.check("drop of files: all open", True, wait_opened(page, len(names)))
    run.check("drop of files: the pilot list", names, opened_names(page))
    status, out, err = cli(["table"] + names, os.path.dirname(dropped[0]))
    run.check("drop of files: table rows", [line.split("\t") for line in out.decode("utf-8").split("\n")[1:-1]],
              [row[1:] for row in table_rows(page)])

    # The folder on disk for vantrel-cli, and the same as dropped entries.
    folder = os.path.join(work, "dropped", "Squad")
    layout = ["b.plt", "a.PLT", "Blue/c.plt", "blue2/A2.plt", "Red/Old/z.Plt", "Red/x.plt", "notes.txt",
              "z.plt.bak", "Blue/Ünter.plt"]
    tree = {}
    for k, relative in enumerate(layout):
        path = os.path.join(folder, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        shutil.copyfile(pilots[k % 4], path)
        node = tree
        for part in relative.split("/")[:-1]:
            node = node.setdefault(part, {})
        node[relative.split("/")[-1]] = b64(path)
    page.close_all()
    single = pilots[2]
    page.js(DROP_ENTRIES, [["/" + os.path.basename(single), b64(single)]], {"Squad": tree})
    status, out, err = cli(["table", single, folder], work)
    lines = [line.split("\t") for line in out.decode("utf-8").split("\n")[1:-1]]
    expected_names = [os.path.basename(line[0]) for line in lines]
    run.check("drop of a file and a folder: all open", True, wait_opened(page, len(expected_names)))
    run.check("drop of a file and a folder: the pilot files in vantrel-cli's order", expected_names,
              opened_names(page))
    rows = table_rows(page)
    run.check("drop of a file and a folder: table rows", [line[1:] for line in lines], [row[2:] for row in rows])

    # A dropped file gone before it could be read gets the load error of a
    # file that is not there.
    page.close_all()
    page.js(DROP_ENTRIES, [["/gone.plt", None]], {"Locked": None})
    run.check("drop of a file gone meanwhile: it opens", True, wait_opened(page, 1))
    run.check("drop of a folder the browser cannot list: said, the rest opened",
              "1 file(s) open; the browser could not list /Locked", page.text("open-status"))
    run.check("drop of a file gone meanwhile: the pilot list", ["gone.plt"], opened_names(page))
    status, out, err = cli(["report", "gone.plt"], work)
    run.check("drop of a file gone meanwhile: load error", err.decode("utf-8"), page.text("load-error") + "\n")


def read_log_file(page):
    return page.driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        (async () => {
          const root = await navigator.storage.getDirectory();
          const handle = await root.getFileHandle('MainLog.txt');
          return base64Of(new Uint8Array(await (await handle.getFile()).arrayBuffer()));
        })().then(done, (e) => done('failed: ' + e));
    """)


def check_append_log_file(run, page, cli, paths, work):
    """"Append to a log file..." against vantrel-cli entry --append: the page's
    file picker is replaced by one that hands over a file of the browser's
    own storage holding an existing log; after the append it holds exactly
    the bytes vantrel-cli leaves in a copy of that log."""
    import base64
    page.js(PAGE_FILES)
    page.close_all()
    page.open(paths)
    page.js("document.getElementById('clear-log').click()")
    names = []
    for index, path in enumerate(paths):
        page.select(index)
        if page.value("entry"):
            page.driver.find_element(By.ID, "add-entry").click()
            names.append(os.path.basename(path))
    logs = [
        ("a log without a last line end", b"Old entry,1\r\nOld \xe9\x80 \x81\x8d\x8f\x90\x9d,2\nlast line"),
        ("a log with a last line end", b"Old entry,1\r\n\r\nTwo\r\n"),
        ("an empty log", b""),
        ("a file with NUL bytes", b"Old entry\r\n\0\0\0"),
    ]
    folder = os.path.dirname(paths[0])
    for what, existing in logs:
        log = os.path.join(work, "append-log.txt")
        with open(log, "wb") as f:
            f.write(existing)
        status, out, err = cli(["entry", "--append", log] + names, folder)
        with open(log, "rb") as f:
            expected = f.read()
        result = page.driver.execute_async_script("""
            const [existing, done] = [arguments[0], arguments[arguments.length - 1]];
            (async () => {
              const root = await navigator.storage.getDirectory();
              const handle = await root.getFileHandle('MainLog.txt', {create: true});
              const writable = await handle.createWritable();
              await writable.write(Uint8Array.from(atob(existing), (c) => c.charCodeAt(0)));
              await writable.close();
              let picked = 0;
              window.showSaveFilePicker = async () => { ++picked; return handle; };
              const message = document.getElementById('log-message');
              message.textContent = '';
              document.getElementById('append-log-file').click();
              for (let k = 0; k < 400 && !message.textContent; ++k)
                await new Promise((resolve) => setTimeout(resolve, 25));
              return {picked: picked, message: message.textContent};
            })().then(done, (e) => done({picked: -1, message: 'failed: ' + e}));
        """, base64.b64encode(existing).decode("ascii"))
        written = base64.b64decode(read_log_file(page))
        label = "Append to a log file... on %s" % what
        run.check(label + ": the picker was asked", 1, result["picked"])
        run.check(label + ": bytes as vantrel-cli entry --append writes them", expected, written)
        if status == 0:
            run.check(label + ": message", "The entries were appended to MainLog.txt.", result["message"])
        else:
            reason = err.decode("utf-8").split("\n")[0].split(": ", 2)[-1].strip()
            run.check(label + ": refused as by vantrel-cli", reason.lower(), result["message"].rstrip(".").lower())
            run.check(label + ": the file is left as it was", existing, written)


def leaving_asks(page):
    """Whether leaving the page now would ask first (its before-unload
    handler cancels the event)."""
    return page.js("const e = new Event('beforeunload', {cancelable: true}); window.dispatchEvent(e);"
                   "return e.defaultPrevented;")


def check_log_kept(run, page, cli, paths, work):
    """The log panel's entries are kept over a reload and in another tab;
    leaving with entries that went nowhere asks first. Add all entries adds
    the entry of every file that loaded, in the list's order, and says what it
    did in the review window's words."""
    page.close_all()
    page.open(paths)
    page.js("document.getElementById('clear-log').click()")
    run.check("empty log: leaving does not ask", False, leaving_asks(page))
    page.driver.find_element(By.ID, "add-all").click()
    status, out, err = cli(["table"] + [os.path.basename(p) for p in paths], os.path.dirname(paths[0]))
    rows = [line.split("\t") for line in out.decode("utf-8").split("\n")[1:-1]]
    loaded = [os.path.basename(row[0]) for row in rows if not row[16]]
    skipped = len(rows) - len(loaded)
    log = os.path.join(work, "add-all.txt")
    open(log, "wb").close()
    cli(["entry", "--append", log] + loaded, os.path.dirname(paths[0]))
    with open(log, "rb") as f:
        expected = f.read()
    run.check("Add all entries: status", "%d %s added to the main log%s" % (
        len(loaded), "entry" if len(loaded) == 1 else "entries",
        "; %d %s that did not load %s skipped" % (skipped, "row" if skipped == 1 else "rows",
                                                 "was" if skipped == 1 else "were") if skipped else ""),
        page.text("log-message"))
    run.check("entries went nowhere yet: leaving asks", True, leaving_asks(page))
    panel = page.value("log")
    run.check("Add all entries: the log's bytes as vantrel-cli entry --append writes them", expected,
              page.download("download-log", "MainLog.txt"))
    run.check("downloaded: leaving does not ask", False, leaving_asks(page))
    page.reload()
    run.check("log kept over a reload", panel, page.value("log"))
    run.check("after the reload, still downloaded: leaving does not ask", False, leaving_asks(page))
    page.close_all()
    page.open(paths[:1])
    page.driver.find_element(By.ID, "add-entry").click()
    run.check("a new entry: leaving asks", True, leaving_asks(page))
    panel = page.value("log")
    # Another tab (the page opened again after its tab closed): the same
    # log, still not downloaded. The tab was never clicked, so closing it
    # asks nothing.
    first = page.driver.current_window_handle
    page.driver.switch_to.new_window("tab")
    page.driver.get(page.url)
    page.wait(lambda d: d.execute_script("return document.body.dataset.ready === '1'"))
    run.check("log kept in another tab", panel, page.value("log"))
    run.check("another tab: leaving asks, the new entry went nowhere", True, leaving_asks(page))
    page.driver.close()
    page.driver.switch_to.window(first)
    page.js("document.getElementById('clear-log').click()")


# Puts a file with the given bytes (base64) into the page's origin-private
# file system, under picked/ (or the folder given after the bytes), and hands
# over its handle as the file pickers' choice; `window.asked` collects the
# questions confirm() was asked, which `window.answer` answers.
PICKER_STUB = """
const [name, b64, done] = [arguments[0], arguments[1], arguments[arguments.length - 1]];
const folderName = arguments.length > 3 ? arguments[2] : 'picked';
(async () => {
  const root = await navigator.storage.getDirectory();
  const folder = await root.getDirectoryHandle(folderName, {create: true});
  const handle = await folder.getFileHandle(name, {create: true});
  if (b64 !== null) {
    const writable = await handle.createWritable();
    await writable.write(Uint8Array.from(atob(b64), (c) => c.charCodeAt(0)));
    await writable.close();
  }
  window.showOpenFilePicker = async () => [handle];
  window.showSaveFilePicker = async () => handle;
  window.asked = [];
  window.answer = true;
  window.confirm = (question) => { window.asked.push(question); return window.answer; };
  return 'ok';
})().then(done, (e) => done('failed: ' + e));
"""

PICKED_BYTES = """
const [name, done] = [arguments[0], arguments[arguments.length - 1]];
const folderName = arguments.length > 2 ? arguments[1] : 'picked';
(async () => {
  const root = await navigator.storage.getDirectory();
  const handle = await (await root.getDirectoryHandle(folderName)).getFileHandle(name);
  return base64Of(new Uint8Array(await (await handle.getFile()).arrayBuffer()));
})().then(done, (e) => done('failed: ' + e));
"""


def cli_set(cli, work, name, original, args):
    """The bytes vantrel-cli set leaves in a copy of `original`."""
    folder = os.path.join(work, "in-place-set")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(original)
    status, out, err = cli(["set"] + args + [name], folder)
    with open(path, "rb") as f:
        return f.read()


def check_in_place(run, page, cli, sample, other, work):
    """Open files... and Save to file on a file of the page's own storage
    handed over by a stand-in picker: the bytes written are vantrel-cli set's,
    a file changed meanwhile asks the pilot view's question first, and the
    bytes before each save are kept as backups, restorable."""
    import base64
    name = os.path.basename(sample)
    with open(sample, "rb") as f:
        original = f.read()
    with open(other, "rb") as f:
        changed_meanwhile = original[:13] + f.read()[13:]
    page.js(PAGE_FILES)
    page.close_all()
    run.check("picker stand-in ready", "ok", page.driver.execute_async_script(
        PICKER_STUB, name, base64.b64encode(original).decode("ascii")))

    def picked():
        got = page.driver.execute_async_script(PICKED_BYTES, name)
        if got.startswith("failed"):
            raise RuntimeError(got)
        return base64.b64decode(got)

    def save(expect_message=True):
        page.js("document.getElementById('edit-message').textContent = ''")
        page.driver.find_element(By.ID, "save-in-place").click()
        page.wait(lambda d: page.text("edit-message") != "")
        return page.text("edit-message")

    page.driver.find_element(By.ID, "open-in-place").click()
    run.check("Open files...: the picked file opens", True, wait_opened(page, 1))
    page.set_value("edit-name", "Luke S")
    message = save()
    run.check("Save to file: bytes as vantrel-cli set writes them",
              cli_set(cli, work, name, original, ["--name", "Luke S"]), picked())
    run.check("Save to file: the file unchanged meanwhile, no question", [], page.js("return window.asked"))
    run.check("Save to file: says so", True, "saved" in message and name in message)
    run.check("Save to file: the editor shows the saved file", "Luke S", page.value("edit-name"))
    saved = picked()

    # Another program writes the file: the question first; No leaves it.
    page.driver.execute_async_script(PICKER_STUB, name, base64.b64encode(changed_meanwhile).decode("ascii"))
    page.js("window.answer = false")
    Select(page.driver.find_element(By.ID, "edit-rank")).select_by_value("2")
    save()
    question = ("%s was changed by another program (the game?) since it was opened. Saving writes every detail "
                "shown over it. Save anyway?" % name)
    run.check("changed meanwhile: the pilot view's question", [question], page.js("return window.asked"))
    run.check("changed meanwhile, No: nothing written", changed_meanwhile, picked())
    page.js("window.answer = true")
    Select(page.driver.find_element(By.ID, "edit-rank")).select_by_value("2")
    save()
    run.check("changed meanwhile, Yes: vantrel-cli set's bytes on the file as it is now",
              cli_set(cli, work, name, changed_meanwhile, ["--rank", "2"]), picked())

    # The bytes before each save are the backups, newest first.
    backups = page.js("return Array.from(document.getElementById('backups').options).map(o => o.value)")
    run.check("backups: one per save", 2, len(backups))
    Select(page.driver.find_element(By.ID, "backups")).select_by_index(0)
    page.js("document.getElementById('edit-message').textContent = ''")
    page.driver.find_element(By.ID, "restore-backup").click()
    page.wait(lambda d: page.text("edit-message") != "")
    run.check("restore the newest backup: the bytes before the last save", changed_meanwhile, picked())
    Select(page.driver.find_element(By.ID, "backups")).select_by_index(2)
    page.driver.find_element(By.ID, "restore-backup").click()
    page.wait(lambda d: "restored" in page.text("edit-message") and picked() == original)
    run.check("restore the oldest backup: the file as first opened", original, picked())
    # The listing follows the message: it is read from the storage anew.
    settles(page, lambda p: len(backup_options(p)) == 4)
    run.check("a restore is backed up too", 4, len(backup_options(page)))
    del saved

    # Remembered across visits: one click opens the file again.
    page.close_all()
    page.driver.execute_async_script(PICKER_STUB, name, None)
    page.driver.find_element(By.ID, "open-in-place").click()
    wait_opened(page, 1)
    page.reload()
    reopen = page.driver.find_element(By.ID, "reopen")
    run.check("after a reload: Open again names the file", "Open again: " + name, reopen.text)
    reopen.click()
    run.check("Open again: the file opens", True, wait_opened(page, 1))
    run.check("Open again: in place", True, page.js("return !document.getElementById('save-in-place').disabled"))
    page.close_all()


def backup_options(page):
    return page.js("return Array.from(document.getElementById('backups').options).map(o => o.value)")


def settles(page, condition, timeout=10):
    """Whether `condition(page)` holds within a few seconds."""
    try:
        page.wait(lambda d: condition(page), timeout=timeout)
        return True
    except Exception:
        return False


def check_backups_per_file(run, page, sample, other):
    """Two different files with one name (Wedge.plt in two folders) keep a
    backup history each, also after a reload: a save of one adds no backup
    to the other, and each restores its own bytes."""
    import base64
    name = "Wedge.plt"
    with open(sample, "rb") as f:
        alpha = f.read()
    with open(other, "rb") as f:
        bravo = f.read()
    page.js(PAGE_FILES)
    page.close_all()

    def save():
        page.js("document.getElementById('edit-message').textContent = ''")
        page.driver.find_element(By.ID, "save-in-place").click()
        page.wait(lambda d: "saved" in page.text("edit-message"))

    for count, (folder, original) in enumerate((("squad-alpha", alpha), ("squad-bravo", bravo)), 1):
        page.driver.execute_async_script(PICKER_STUB, name, base64.b64encode(original).decode("ascii"), folder)
        page.driver.find_element(By.ID, "open-in-place").click()
        wait_opened(page, count)
        page.select(count - 1)
        page.set_value("edit-name", "Saved %d" % count)
        save()
    run.check("same name, other folder: only its own backup", True, settles(page, lambda p: len(backup_options(p)) == 1))
    page.select(0)
    run.check("same name, first folder: only its own backup", True, settles(page, lambda p: len(backup_options(p)) == 1))

    page.reload()
    page.js(PAGE_FILES)
    page.driver.find_element(By.ID, "reopen").click()
    wait_opened(page, 2)
    for index, (folder, original) in enumerate((("squad-alpha", alpha), ("squad-bravo", bravo))):
        page.select(index)
        settles(page, lambda p: len(backup_options(p)) > 0)
        run.check("after a reload, %s keeps its own history" % folder, 1, len(backup_options(page)))
        page.js("document.getElementById('edit-message').textContent = ''")
        page.driver.find_element(By.ID, "restore-backup").click()
        page.wait(lambda d: page.text("edit-message") != "")
        got = page.driver.execute_async_script(PICKED_BYTES, name, folder)
        run.check("restore in %s: its own bytes" % folder, original, base64.b64decode(got))
    page.close_all()


# Backs up the page's own file `name` (under kept/) `count` times, the k-th
# backup a single byte k, through the page's backups module; gives the
# backups' bytes newest first, and hands the file over as the file picker's
# choice.
KEEP_BACKUPS = """
const [name, count, done] = [arguments[0], arguments[1], arguments[arguments.length - 1]];
(async () => {
  const backups = await import('./js/backups.js');
  const root = await navigator.storage.getDirectory();
  const handle = await (await root.getDirectoryHandle('kept', {create: true})).getFileHandle(name, {create: true});
  for (let k = 0; k < count; ++k)
    await backups.keepBackup(handle, new Uint8Array([k]));
  const kept = [];
  for (const backup of await backups.listBackups(handle))
    kept.push((await backups.backupBytes(handle, backup.name))[0]);
  window.showOpenFilePicker = async () => [handle];
  return kept;
})().then(done, (e) => done('failed: ' + e));
"""


def check_backups_kept(run, page):
    """The newest 20 backups of a file are kept: after 23 saves, saves 4 to
    23, and the file opened in place lists those 20."""
    page.close_all()
    kept = page.driver.execute_async_script(KEEP_BACKUPS, "Often.plt", 23)
    run.check("23 backups: the newest 20 kept, newest first", list(range(22, 2, -1)), kept)
    page.driver.find_element(By.ID, "open-in-place").click()
    wait_opened(page, 1)
    run.check("the file opened in place lists its newest 20", True,
              settles(page, lambda p: len(backup_options(p)) == 20))
    page.close_all()


def check_log_file(run, page, cli, paths, work):
    """Log file... binds the log panel to a main log file: each entry added is
    appended to it by the main log's rule, after what another program wrote."""
    import base64
    existing = b"Old entry,1\r\nOld \xe9\x80,2"
    page.js(PAGE_FILES)
    page.driver.execute_async_script(PICKER_STUB, "Bound.txt", base64.b64encode(existing).decode("ascii"))
    page.close_all()
    page.open(paths)
    page.js("document.getElementById('clear-log').click()")
    page.driver.find_element(By.ID, "log-file").click()
    page.wait(lambda d: "Bound.txt" in page.text("log-file-name"))
    log = os.path.join(work, "bound-log.txt")
    with open(log, "wb") as f:
        f.write(existing)
    names = []
    for index, path in enumerate(paths):
        page.select(index)
        if not page.value("entry"):
            continue
        page.js("document.getElementById('log-message').textContent = ''")
        page.driver.find_element(By.ID, "add-entry").click()
        page.wait(lambda d: page.text("log-message") != "")
        names.append(os.path.basename(path))
        cli(["entry", "--append", log, names[-1]], os.path.dirname(path))
        if index == 0:
            # Another program appends meanwhile: kept.
            with open(log, "ab") as f:
                f.write(b"Theirs,3\r\n")
            bound = base64.b64decode(page.driver.execute_async_script(PICKED_BYTES, "Bound.txt"))
            page.driver.execute_async_script(PICKER_STUB, "Bound.txt",
                                             base64.b64encode(bound + b"Theirs,3\r\n").decode("ascii"))
    with open(log, "rb") as f:
        expected = f.read()
    run.check("Log file...: the file's bytes as vantrel-cli entry --append leaves them", expected,
              base64.b64decode(page.driver.execute_async_script(PICKED_BYTES, "Bound.txt")))
    run.check("Log file...: written, so leaving does not ask", False, leaving_asks(page))
    page.reload()
    run.check("Log file...: remembered after a reload", True, "Bound.txt" in page.text("log-file-name"))
    page.js("document.getElementById('clear-log').click()")


def check_copy(run, page, cli, paths):
    """Copy puts exactly the score entry on the clipboard."""
    origin = page.url.rsplit("/", 1)[0]
    page.driver.execute_cdp_cmd("Browser.grantPermissions", {
        "origin": origin, "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
    page.close_all()
    page.open(paths)
    for index, path in enumerate(paths):
        page.select(index)
        page.driver.execute_async_script(
            "navigator.clipboard.writeText('stale').then(arguments[0], arguments[0])")
        page.driver.find_element(By.ID, "copy-entry").click()
        copied = page.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            (async () => {
              for (let k = 0; k < 100; ++k) {
                const text = await navigator.clipboard.readText();
                if (text !== 'stale') return text;
                await new Promise((resolve) => setTimeout(resolve, 20));
              }
              return 'stale';
            })().then(done, (e) => done('failed: ' + e));
        """)
        status, out, err = cli(["entry", os.path.basename(path)], os.path.dirname(path))
        run.check("Copy: the entry of %s on the clipboard" % os.path.basename(path),
                  out.decode("utf-8").rstrip("\n"), copied)


def compare_folder(run, page, cli, sample, work):
    """A folder picked with the folder input: its pilot files, subfolders
    included, in the order vantrel-cli table takes them from the folder."""
    folder = os.path.join(work, "squadron")
    for sub in ("", "Blue", "blue2", "Red/Old"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    for name in ("b.plt", "a.PLT", "Blue/c.plt", "blue2/A.plt", "Red/Old/z.Plt", "Red/x.plt", "notes.txt",
                 "z.plt.bak", ".plt", "Blue/Ünter.plt"):
        shutil.copyfile(sample, os.path.join(folder, name))
    page.close_all()
    page.driver.find_element(By.ID, "folder").send_keys(folder)
    page.wait(lambda d: int(d.execute_script("return Number(document.body.dataset.opened || 0)")) > 0
              and not d.execute_script("return 'busy' in document.body.dataset"))
    listed = page.js("return Array.from(document.querySelectorAll('#pilot-list li')).map(li => li.textContent)")
    status, out, err = cli(["table", "squadron"], work)
    expected = [os.path.basename(line.split("\t")[0]) for line in out.decode("utf-8").split("\n")[1:-1]]
    run.check("folder input: the pilot files in vantrel-cli's order", expected, listed)


def check_settings_panel(run, page, cli, path, work):
    """The settings panel writes the settings text by the file's rules; the
    report follows at once, and the text is kept over a reload."""
    page.close_all()
    page.set_value("settings", "; mine\n[ZADAdeda]\nScoreFormat=0\n")
    page.open([path])
    page.driver.find_element(By.CSS_SELECTOR, "input[type=checkbox][data-key=ShowMissionTime]").click()
    page.driver.find_element(By.CSS_SELECTOR, "input[type=radio][name=NameSource][value='1']").click()
    text = page.value("settings")
    run.check("settings panel: text written by the file's rules", "; mine\n[ZADAdeda]\nScoreFormat=0\n"
              "ShowMissionTime=1\nNameSource=1\n", text)
    ini = os.path.join(work, "panel.ini")
    with open(ini, "w", encoding="utf-8", newline="") as f:
        f.write(text)
    name = os.path.basename(path)
    status, out, err = cli(["report", "--ini", ini, name], os.path.dirname(path))
    run.check("settings panel: report follows at once", out.decode("utf-8"), page.text("report") + "\n")
    status, out, err = cli(["entry", "--ini", ini, name], os.path.dirname(path))
    run.check("settings panel: entry follows at once", out.decode("utf-8"), page.value("entry") + "\n")
    page.reload()
    run.check("settings text kept over a reload", text, page.value("settings"))
    run.check("settings panel shows the kept text", True, page.js(
        "return document.querySelector('input[type=checkbox][data-key=ShowMissionTime]').checked"))
    page.set_value("settings", "")


def check_keyboard(run, page, paths):
    """The pilot list answers the arrow keys; a column sorts from the keyboard."""
    from selenium.webdriver.common.keys import Keys
    page.close_all()
    page.open(paths)
    listing = page.driver.find_element(By.ID, "pilot-list")
    listing.send_keys(Keys.ARROW_DOWN)
    listing.send_keys(Keys.ARROW_DOWN)
    run.check("keyboard: arrow down twice selects the third file", os.path.basename(paths[2]),
              page.js("return document.querySelector('#pilot-list li.selected').textContent"))
    listing.send_keys(Keys.HOME)
    run.check("keyboard: Home selects the first file", os.path.basename(paths[0]),
              page.js("return document.querySelector('#pilot-list li.selected').textContent"))
    button = page.driver.find_elements(By.CSS_SELECTOR, "#squad thead th button")[1]
    button.send_keys(Keys.ENTER)
    button = page.driver.find_elements(By.CSS_SELECTOR, "#squad thead th button")[1]
    button.send_keys(Keys.ENTER)
    first = page.js("return document.querySelector('#squad tbody tr').cells[1].textContent")
    run.check("keyboard: Enter on a column twice sorts it descending", max(os.path.basename(p) for p in paths), first)


def check_many_files(run, page, sample, work):
    """More files than the page reads or holds at once: every one opens, in
    the order given, and a click on any table row selects that row's file,
    also after sorting."""
    folder = os.path.join(work, "many")
    os.makedirs(folder, exist_ok=True)
    with open(sample, "rb") as f:
        base = f.read()
    paths = []
    for k in range(600):
        paths.append(os.path.join(folder, "wing%03d.plt" % k))
        with open(paths[-1], "wb") as f:
            f.write(("Wing %d" % k).encode("ascii").ljust(13, b"\0") + base[13:])
    page.close_all()
    page.open(paths)
    names = [os.path.basename(p) for p in paths]
    run.check("600 files: the list in the order given", names, opened_names(page))
    files = page.js("return Array.from(document.querySelectorAll('#squad tbody tr')).map(r => r.cells[1].textContent)")
    run.check("600 files: the table in the order given", names, files)
    pilots = page.js("return Array.from(document.querySelectorAll('#squad tbody tr')).map(r => r.cells[2].textContent)")
    run.check("600 files: each row its own pilot", ["Wing %d" % k for k in range(600)], pilots)

    def click_row(index):
        row = page.driver.find_elements(By.CSS_SELECTOR, "#squad tbody tr")[index]
        page.js("arguments[0].scrollIntoView({block: 'center'})", row)
        page.js("arguments[0].cells[2].click()", row)
        return page.js("return document.querySelector('#pilot-list li.selected').textContent")

    for index in (0, 31, 32, 599):
        run.check("600 files: a click on row %d selects its file" % (index + 1), names[index], click_row(index))
    button = page.driver.find_elements(By.CSS_SELECTOR, "#squad thead th button")[1]
    button.click()
    page.driver.find_elements(By.CSS_SELECTOR, "#squad thead th button")[1].click()
    run.check("600 files, sorted by file descending: a click on row 40 selects its file", names[599 - 39],
              click_row(39))
    page.close_all()


def png_size(data):
    return (int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")) if data[:8] == b"\x89PNG\r\n\x1a\n" \
        else None


def check_installable(run, page, page_dir):
    """The web app manifest (name, icons of the sizes named, standalone, the
    .plt file handler), the service worker keeping every file of the page,
    and the page's weight."""
    import json
    manifest_url = page.js("return document.querySelector('link[rel=manifest]').href")
    run.check("manifest: linked from the page's own folder", page.url.rsplit("/", 1)[0] + "/manifest.webmanifest",
              manifest_url)
    with open(os.path.join(page_dir, "manifest.webmanifest"), encoding="utf-8") as f:
        manifest = json.load(f)
    run.check("manifest: names", ["Vantrel", "Vantrel"], [manifest.get("name"), manifest.get("short_name")])
    run.check("manifest: standalone, start page", ["standalone", "./index.html"],
              [manifest.get("display"), manifest.get("start_url")])
    run.check("manifest: theme colour", True, bool(manifest.get("theme_color")))
    sizes = {}
    for icon in manifest.get("icons", []):
        with open(os.path.join(page_dir, icon["src"]), "rb") as f:
            sizes[icon["sizes"]] = png_size(f.read())
    run.check("manifest: PNG icons of 192 and 512 pixels", {"192x192": (192, 192), "512x512": (512, 512)}, sizes)
    handlers = manifest.get("file_handlers", [])
    run.check("manifest: opens .plt files", True, any(".plt" in extensions for h in handlers
                                                      for extensions in h.get("accept", {}).values()))
    weight = sum(os.path.getsize(os.path.join(page_dir, n))
                 for n in ("vantrel-web.wasm", "vantrel-web.js", "sw.js", "manifest.webmanifest"))
    run.check("the core, the worker and the manifest weigh under 1 MB (%d bytes)" % weight, True, weight < 1 << 20)

    # The worker controls the page and keeps every file of the page's folder.
    page.driver.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
    if not page.js("return !!navigator.serviceWorker.controller"):
        page.reload()
    run.check("service worker: controls the page", True, page.js("return !!navigator.serviceWorker.controller"))
    kept = page.driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        (async () => {
          const urls = [];
          for (const name of await caches.keys())
            for (const request of await (await caches.open(name)).keys())
              urls.push(request.url);
          return urls;
        })().then(done, (e) => done(['failed: ' + e]));
    """)
    base = page.url.rsplit("/", 1)[0] + "/"
    files = sorted(os.path.relpath(os.path.join(b, n), page_dir).replace(os.sep, "/")
                   for b, d, ns in os.walk(page_dir) for n in ns if n != "sw.js")
    run.check("service worker: keeps every file of the page", sorted([base] + [base + f for f in files]), sorted(kept))


def check_offline(run, page, server, paths):
    """With the server stopped, the page opens again from what its worker
    kept, and works."""
    name = os.path.basename(paths[0])
    page.close_all()
    page.open(paths[:1])
    report = page.text("report")
    server.shutdown()
    server.server_close()
    page.reload()
    run.check("offline: the page opens", "1", page.js("return document.body.dataset.ready"))
    page.open(paths[:1])
    run.check("offline: the report of %s" % name, report, page.text("report"))


def check_network_blocked(run, page):
    """A request to another address is refused by the page's policy and never
    reaches that address, which is listening."""
    other = http.server.ThreadingHTTPServer(("127.0.0.2", 0), Recorder)
    threading.Thread(target=other.serve_forever, daemon=True).start()
    url = "http://127.0.0.2:%d/leak" % other.server_address[1]
    result = page.driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const violations = [];
        document.addEventListener('securitypolicyviolation', (e) => violations.push(e.violatedDirective));
        const outcomes = [];
        const tries = [
          fetch(arguments[0], {mode: 'no-cors'}).then(() => 'fetched', () => 'blocked'),
          new Promise((resolve) => { const i = new Image(); i.onload = () => resolve('loaded');
                                     i.onerror = () => resolve('blocked'); i.src = arguments[0] + '.png';
                                     document.body.appendChild(i); }),
          new Promise((resolve) => { const s = document.createElement('script'); s.onload = () => resolve('loaded');
                                     s.onerror = () => resolve('blocked'); s.src = arguments[0] + '.js';
                                     document.body.appendChild(s); }),
        ];
        Promise.all(tries).then((results) => setTimeout(() => done({results, violations}), 300));
    """, url)
    time.sleep(0.3)
    other.shutdown()
    run.check("request to another address blocked", ["blocked", "blocked", "blocked"], result["results"])
    run.check("the policy reported each blocked request", 3, len(result["violations"]))
    run.check("nothing reached the other address", [], Recorder.hits)
    policy = page.js("return document.querySelector('meta[http-equiv=Content-Security-Policy]').content")
    run.check("the policy's default is none", True, policy.startswith("default-src 'none'"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--sample", required=True)
    parser.add_argument("--real", default="/work/shared/testdata/real")
    parser.add_argument("--only", default="", help="comma-separated steps to run (their functions' names), "
                        "leaving out the real pilots and the closing checks")
    args = parser.parse_args()
    only = [name for name in args.only.split(",") if name]

    run = Run()
    work = tempfile.mkdtemp(prefix="vantrel-web-test-")
    downloads = os.path.join(work, "downloads")
    os.makedirs(downloads)
    home = os.path.join(work, "home")
    os.makedirs(home)
    cli = Cli(os.path.abspath(args.cli), home)
    server = serve(os.path.abspath(args.page), "127.0.0.1")
    page = Page("http://127.0.0.1:%d/index.html" % server.server_address[1], downloads)
    try:
        generated = os.path.join(work, "pilots")
        os.makedirs(generated)
        sample = os.path.join(generated, "Kestrel_Red.plt")
        shutil.copyfile(args.sample, sample)
        odd, others = odd_pilots(sample, generated)
        # Each step by its function's name; --only runs the steps named.
        steps = [
            ("compare_files", lambda: compare_files(run, page, cli, [sample] + odd + others, "generated pilots")),
            ("compare_missions", lambda: compare_missions(run, page, cli, sample)),
            ("compare_edits", lambda: compare_edits(run, page, cli, sample, work)),
            ("compare_edits", lambda: compare_edits(run, page, cli, odd[1], work)),
            ("compare_log", lambda: compare_log(run, page, cli, [sample] + odd[:3], work)),
            ("check_append_log_file", lambda: check_append_log_file(run, page, cli, [sample] + odd[:3], work)),
            ("check_copy", lambda: check_copy(run, page, cli, [sample] + odd[:2])),
            ("check_drop", lambda: check_drop(run, page, cli, [sample] + odd, others, work)),
            ("compare_folder", lambda: compare_folder(run, page, cli, sample, work)),
            ("check_settings_panel", lambda: check_settings_panel(run, page, cli, sample, work)),
            ("check_keyboard", lambda: check_keyboard(run, page, [sample] + odd[:3])),
            ("check_many_files", lambda: check_many_files(run, page, sample, work)),
            ("check_log_kept", lambda: check_log_kept(run, page, cli, [sample] + odd + others, work)),
            ("check_log_file", lambda: check_log_file(run, page, cli, [sample] + odd[:3], work)),
            ("check_in_place", lambda: check_in_place(run, page, cli, sample, odd[0], work)),
            ("check_backups_per_file", lambda: check_backups_per_file(run, page, sample, odd[0])),
            ("check_backups_kept", lambda: check_backups_kept(run, page)),
        ]
        for name, step in steps:
            if not only or name in only:
                step()

        if only:
            return finish(run)
        real = sorted(os.path.join(args.real, n) for n in os.listdir(args.real)) if os.path.isdir(args.real) else []
        real = [p for p in real if p.lower().endswith(".plt")]
        if real:
            copies = os.path.join(work, "real")
            os.makedirs(copies)
            paths = []
            for path in real:
                paths.append(os.path.join(copies, os.path.basename(path)))
                shutil.copyfile(path, paths[-1])
            paths.append(os.path.join(copies, os.path.basename(sample)))
            shutil.copyfile(sample, paths[-1])
            compare_files(run, page, cli, paths, "real pilots")
            paths.pop()
            for path in paths:
                compare_missions(run, page, cli, path)
                compare_edits(run, page, cli, path, work)
        else:
            print("SKIP real pilots: %s is absent" % args.real)

        # The page requests nothing but its own files, also after all of the
        # above, and its console holds no error (a style or script its own
        # policy refused would show there).
        entries = page.js("return performance.getEntriesByType('resource').map(e => e.name)")
        own = page.url.rsplit("/", 1)[0] + "/"
        run.check("the page fetched only its own files", [], [e for e in entries if not e.startswith(own)])
        errors = [e["message"] for e in page.driver.get_log("browser")
                  if e["level"] == "SEVERE" and "favicon.ico" not in e["message"]]
        run.check("no errors in the browser's console", [], errors)
        check_installable(run, page, os.path.abspath(args.page))
        check_offline(run, page, server, [sample])
        check_network_blocked(run, page)
    finally:
        page.quit()
        server.shutdown()
        server.server_close()
        shutil.rmtree(work, ignore_errors=True)

    return finish(run)


def finish(run):
    print("web page: %d comparisons, %d mismatches%s" % (run.checks, len(run.failures),
                                                       "" if run.failures else " - page and vantrel-cli agree"))
    return 1 if run.failures else 0


if __name__ == "__main__":
    sys.exit(main())
