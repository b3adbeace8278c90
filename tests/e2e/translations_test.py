#!/usr/bin/env python3
"""translations/snapfolio_en.ts is complete: every Japanese source text has a finished English
translation without Japanese in it, and keeps the source's place holders (%1 ...) and its
leading message number.

Usage: translations_test.py SOURCE_DIR. Exit status 0 when complete, 1 otherwise.
"""

import pathlib
import re
import sys
import xml.etree.ElementTree as ET

JAPANESE = re.compile(r"[\u3000-\u9fff\uff00-\uffef]")
HOLDER = re.compile(r"%\d")
NUMBER = re.compile(r"^[0-9A-F]{4} : ")


def main():
    ts = pathlib.Path(sys.argv[1]) / "translations/snapfolio_en.ts"
    failures, count = [], 0
    for context in ET.parse(ts).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            translation = message.find("translation")
            text = translation.text or ""
            count += 1
            where = f"{name}: {source!r}"
            if translation.get("type") in ("unfinished", "vanished", "obsolete") or not text:
                failures.append(f"not translated: {where}")
            elif JAPANESE.search(text):
                failures.append(f"Japanese left in the translation of {where}: {text!r}")
            elif sorted(HOLDER.findall(source)) != sorted(HOLDER.findall(text)):
                failures.append(f"place holders differ in {where}: {text!r}")
            elif NUMBER.match(source) and NUMBER.match(source).group() != text[:7]:
                failures.append(f"the message number moved in {where}: {text!r}")
    if count < 150:
        failures.append(f"only {count} texts in {ts}: lupdate found too few")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print(f"{count} texts translated")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
