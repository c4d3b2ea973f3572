#!/usr/bin/env python3
"""Re-encodes the help sources that the help viewer reads in the help file's ANSI code
page, in place: the project file (its title), the contents file and the text popups. The
viewer takes the code page from the project's Language line; the HTML pages say their own
character set and stay UTF-8. The sources are kept in UTF-8, so a text that the code page
cannot hold stops the build here instead of showing as question marks.
Usage: ansi_help.py FOLDER"""
import os
import re
import sys

# Language identifier to the Windows ANSI code page that its help viewer uses.
CODE_PAGES = {
    0x0409: "cp1252", 0x0407: "cp1252", 0x040C: "cp1252", 0x0C0A: "cp1252", 0x0410: "cp1252",
    0x0416: "cp1252", 0x0411: "cp932", 0x0412: "cp949", 0x0804: "cp936",
}


def main(folder):
    project = os.path.join(folder, "UvanticFinder.hhp")
    text = open(project, encoding="utf-8").read()
    match = re.search(r"^Language=0x([0-9A-Fa-f]+)", text, re.M)
    if not match or int(match.group(1), 16) not in CODE_PAGES:
        sys.exit(f"{project}: no Language line with a known language")
    code_page = CODE_PAGES[int(match.group(1), 16)]
    for name in ("UvanticFinder.hhp", "toc.hhc", "cshelp.txt"):
        path = os.path.join(folder, name)
        text = open(path, encoding="utf-8", newline="").read()
        try:
            data = text.encode(code_page)
        except UnicodeEncodeError as error:
            sys.exit(f"{path}: {text[error.start:error.end]!r} has no place in {code_page}")
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
