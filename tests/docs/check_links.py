#!/usr/bin/env python3
"""Follows every relative link of README.md and docs/*.md under a source tree.

A link or picture [text](target) or ![alt](target) whose target is not a URL
must name an existing file or folder, relative to the page; a #anchor must
be a heading of the target page (or of the page itself), as GitHub makes
anchors of headings. Links in code blocks and code spans are not links.
Prints one line per broken link and exits 1 if there is any.

With --expect-failures, the tree's file expected.txt lists the broken links
the check must find (one "page: target" a line); it exits 0 only if it finds
exactly those.
"""
import re
import sys
from pathlib import Path

LINK = re.compile(r"!?\[(?:[^\]\\]|\\.)*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
FENCE = re.compile(r"^\s*(```|~~~)")
CODE_SPAN = re.compile(r"(`+)(.+?)\1")
HEADING = re.compile(r"^(#{1,6})\s+(.*?)\s*#*\s*$")


def prose_lines(text):
    """The lines outside fenced code blocks, with code spans blanked."""
    inside = False
    for line in text.splitlines():
        if FENCE.match(line):
            inside = not inside
            continue
        if not inside:
            yield CODE_SPAN.sub("", line)


def anchors(page):
    """GitHub's anchors of a page's headings: lower case, punctuation dropped,
    blanks as hyphens, a repeated heading numbered -1, -2, ..."""
    seen = {}
    result = set()
    inside = False
    for line in page.read_text(encoding="utf-8").splitlines():
        if FENCE.match(line):
            inside = not inside
            continue
        match = None if inside else HEADING.match(line)
        if not match:
            continue
        title = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", match.group(2))
        slug = re.sub(r"[^\w\- ]", "", title.lower()).replace(" ", "-")
        count = seen.get(slug, 0)
        seen[slug] = count + 1
        result.add(slug if count == 0 else f"{slug}-{count}")
    return result


def broken_links(root):
    pages = [root / "README.md"] + sorted((root / "docs").glob("*.md"))
    broken = []
    for page in pages:
        if not page.is_file():
            continue
        for line in prose_lines(page.read_text(encoding="utf-8")):
            for target in LINK.findall(line):
                if re.match(r"^[a-zA-Z][a-zA-Z0-9+.-]*:", target):
                    continue  # http:, https:, mailto: ...
                path, _, anchor = target.partition("#")
                linked = (page.parent / path).resolve() if path else page
                name = f"{page.relative_to(root)}: {target}"
                if not linked.exists():
                    broken.append(name)
                elif anchor and linked.suffix == ".md" and anchor not in anchors(linked):
                    broken.append(name)
    return broken


def main(argv):
    expect = "--expect-failures" in argv
    args = [a for a in argv if a != "--expect-failures"]
    if len(args) != 1:
        print("usage: check_links.py [--expect-failures] SOURCE_DIR", file=sys.stderr)
        return 2
    root = Path(args[0]).resolve()
    broken = broken_links(root)
    for name in broken:
        print(f"broken link: {name}")
    if expect:
        wanted = [l for l in (root / "expected.txt").read_text().splitlines() if l.strip()]
        if sorted(broken) != sorted(wanted):
            print(f"expected exactly: {wanted}")
            return 1
        print(f"the {len(wanted)} faults were found")
        return 0
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
