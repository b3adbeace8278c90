#!/usr/bin/env python3
"""Lists the functions of src/ longer than a limit (default 60 lines).

A function's length counts its lines from the first line of its signature to its closing
brace. A function whose comment just above it says "flat switch" is listed apart: one switch
over many small cases may stay whole when its comment says why.

Usage: scripts/long-functions.py [--limit N] [ROOT]   (ROOT defaults to src/ of this checkout)
Exit status: 1 when a function other than a flat switch is over the limit, else 0.
"""

import argparse
import pathlib
import re
import sys

SCOPE = re.compile(r"\b(namespace|class|struct|union|enum|extern)\b")
LABEL = re.compile(r"\b((public|protected|private)(\s+slots)?|signals)\s*:(?!:)")
RAW = re.compile(r'R"([^(\s]*)\(')


def blank(text):
    """The text with comments, literals and preprocessor lines turned into spaces (lines kept)."""
    out, i, n = [], 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            j = i
            while j < n and text[j] != "\n":
                j += 2 if text.startswith("\\\n", j) else 1
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
            continue
        if c == "\n" or not c.isspace():
            line_start = c == "\n"
        raw = RAW.match(text, i) if c == "R" and (i == 0 or not text[i - 1].isalnum()) else None
        if raw:
            j = text.find(")" + raw.group(1) + '"', raw.end())
            j = n if j < 0 else j + len(raw.group(1)) + 2
        elif text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif c == '"' or (c == "'" and not (i and text[i - 1].isalnum())):
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            j += 1
        else:
            out.append(c)
            i += 1
            continue
        out.append(re.sub(r"[^\n]", " ", text[i:j]))
        i = j
    return "".join(out)


def functions(code):
    """(name, first line, last line) of every function body at namespace or class scope."""
    found = []

    def closing(at):  # the index of the brace closing the one at `at`
        depth = 0
        for k in range(at, len(code)):
            depth += {"{": 1, "}": -1}.get(code[k], 0)
            if depth == 0:
                return k
        return len(code) - 1

    def scope(begin, end):
        head = begin
        k = begin
        while k < end:
            c = code[k]
            if c in ";}":
                head = k + 1
            elif c == "{":
                labels = list(LABEL.finditer(code, head, k))
                head = labels[-1].end() if labels else head
                header = code[head:k]
                if re.search(r"\)\s*:(?!:)", header) and re.search(r"[\w>]\s*$", header):
                    k = closing(k) + 1  # a member's brace initialiser in a constructor
                    continue
                stop = closing(k)
                plain = re.sub(r"operator\s*\S+", "operator", header).split("(")[0]
                if SCOPE.search(plain):
                    scope(k + 1, stop)
                elif "(" in header and "=" not in plain:  # not a variable's initialiser
                    first = head + len(header) - len(header.lstrip())
                    name = re.findall(r"(operator\s*\S+?|[\w:~]+)\s*\(", header)
                    found.append((name[0] if name else "?", code.count("\n", 0, first) + 1,
                                  code.count("\n", 0, stop) + 1))
                k = stop
                head = k + 1
            k += 1

    scope(0, len(code))
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--limit", type=int, default=60)
    parser.add_argument("root", nargs="?", default=pathlib.Path(__file__).parent.parent / "src")
    args = parser.parse_args()
    root = pathlib.Path(args.root)
    over = 0
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        lines = text.splitlines()
        for name, first, last in functions(blank(text)):
            length = last - first + 1
            if length <= args.limit:
                continue
            above = first - 2
            while above >= 0 and lines[above].lstrip().startswith("//"):
                above -= 1
            comment = " ".join(" ".join(lines[above + 1:first - 1]).replace("//", " ").split())
            flat = "flat switch" in comment.lower()
            over += not flat
            print(f"{path.relative_to(root.parent)}:{first}: {name} {length} lines"
                  + (" (flat switch)" if flat else ""))
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
