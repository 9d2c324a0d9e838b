#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads each copyright file strictly in Debian's machine-readable format (python3-debian, which
# installs for Debian's own Python, hence /usr/bin/python3), then checks what the parser lets
# through: each licence's text given once, a text for every licence a Files paragraph names and
# none that no paragraph names, no file pattern in two paragraphs. check_copyright.py FILE...
import re
import sys

from debian.copyright import Copyright

failed = False
for path in sys.argv[1:]:

    def fail(problem):
        global failed
        failed = True
        print(f"FAIL: {path}: {problem}", file=sys.stderr)

    with open(path, encoding="utf-8") as file:
        copyright = Copyright(file, strict=True)
    texts = set()
    for paragraph in copyright.all_license_paragraphs():
        name = paragraph.license.synopsis.lower()
        if name in texts:
            fail(f"the licence {name} is given twice")
        if not paragraph.license.text.strip():
            fail(f"the licence {name} has no text")
        texts.add(name)
    named, patterns = set(), set()
    for paragraph in copyright.all_files_paragraphs():
        for pattern in set(paragraph.files) & patterns:
            fail(f"{pattern} is in two Files paragraphs")
        patterns.update(paragraph.files)
        if not paragraph.license.text.strip():
            named.update(re.split(r"\s+(?:and|or)\s+", paragraph.license.synopsis.strip().lower()))
    for name in sorted(named - texts):
        fail(f"the licence {name} has no text")
    for name in sorted(texts - named):
        fail(f"the licence {name} is named by no Files paragraph")
sys.exit(1 if failed else 0)
