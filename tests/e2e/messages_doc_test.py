#!/usr/bin/env python3
"""docs/messages.md keeps up with the sources: every numbered message ("0000 : " ...) that the
code sets has its row, the page lists no number the code does not have, and every message text
written whole into a showMessage/showFileError call or a fixed reason stands in the page.

Usage: messages_doc_test.py SOURCE_DIR. Exit status 0 when in step, 1 otherwise.
"""

import pathlib
import re
import sys

NUMBER = re.compile(r'"([0-9A-F]{4}) : ')
# A Japanese text literal handed whole to a message box, or a fixed reason line.
# The text may stand in a translation call or mark (the Japanese text is the source text).
TRANSLATED = r'(?:QStringLiteral\(|QCoreApplication::translate\(\s*"\w+",|text\(QT_TRANSLATE_NOOP\(\s*"\w+",)?'
WHOLE_TEXT = re.compile(
    r'(?:showMessage|showFileError)\(\s*' + TRANSLATED + r'\s*"([^"]*[\u3000-\u9fff][^"]*)"')
REASON = re.compile(
    r'text = (?:QT_TRANSLATE_NOOP\(\s*"\w+",\s*)?"([^"]*[\u3000-\u9fff][^"]*)"\)?;')


def unescape(literal):
    return literal.replace("\\n", "").replace("\\r", "")


def main():
    root = pathlib.Path(sys.argv[1])
    doc = (root / "docs/messages.md").read_text(encoding="utf-8")
    code_numbers, texts = set(), set()
    for path in sorted((root / "src").rglob("*.cpp")) + sorted((root / "src").rglob("*.h")):
        source = path.read_text(encoding="utf-8")
        code_numbers.update(NUMBER.findall(source))
        texts.update(unescape(t) for t in WHOLE_TEXT.findall(source))
        texts.update(REASON.findall(source))

    doc_numbers = set()
    for line in doc.splitlines():
        cells = line.split("|")
        if len(cells) > 2:
            doc_numbers.update(re.findall(r"\b[0-9A-F]{4}\b", cells[1]))

    failures = []
    failures += [f"message {n} is set in the code but has no row" for n in
                 sorted(code_numbers - doc_numbers)]
    failures += [f"message {n} has a row but the code never sets it" for n in
                 sorted(doc_numbers - code_numbers)]
    failures += [f"text missing from the page: {t!r}" for t in sorted(texts) if t not in doc]
    if len(code_numbers) < 20 or len(texts) < 10:
        failures.append(f"found only {len(code_numbers)} numbers and {len(texts)} texts in the "
                        "sources: the patterns no longer match the code")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print(f"docs/messages.md covers {len(code_numbers)} numbered messages and "
              f"{len(texts)} fixed texts")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
