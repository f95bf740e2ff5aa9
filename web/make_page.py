#!/usr/bin/env python3
"""Writes the page: index.html with the SHA-256 of its <style> block put into
its Content-Security-Policy, so that the policy allows that one style sheet
and no other inline style."""
import base64
import hashlib
import re
import sys

source, target = sys.argv[1], sys.argv[2]
page = open(source, encoding="utf-8").read()
style = re.search(r"<style>(.*?)</style>", page, re.S)
if not style:
    sys.exit("make_page.py: no <style> block in " + source)
digest = base64.b64encode(hashlib.sha256(style.group(1).encode("utf-8")).digest()).decode("ascii")
page = page.replace("@STYLE_HASH@", "'sha256-" + digest + "'")
with open(target, "w", encoding="utf-8", newline="\n") as out:
    out.write(page)
