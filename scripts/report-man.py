#!/usr/bin/python3
"""The console report's man page and usage, from docs/report.md.

    report-man.py man REPORT_MD OUTPUT EPOCH     write the man page (roff), dated EPOCH
    report-man.py usage REPORT_MD PROGRAM        check PROGRAM --help against the page

The page's Usage section is the program's --help; the man page leaves it
out (its options are under OPTIONS) and leaves out the note before the
first section. Markdown understood: one "# name" line and its one-line
description, "## " sections, paragraphs, "- " list items ("- `term`: text"
becomes a tagged paragraph), blocks indented by four blanks, `code` spans.
"""
import subprocess
import sys
import time

SKIPPED_SECTIONS = {"Usage"}


def sections(markdown):
    """(title, description, [(heading, [lines])])"""
    lines = markdown.split("\n")
    title = lines[0].removeprefix("# ").strip()
    description = lines[2].strip()
    found, current = [], None
    for line in lines[3:]:
        if line.startswith("## "):
            current = (line[3:].strip(), [])
            found.append(current)
        elif current is not None:
            current[1].append(line)
    return title, description, found


def blocks(lines):
    """Paragraphs, list items and indented blocks, each ("p"|"li"|"pre", text)."""
    out, kind, text = [], None, []

    def flush():
        nonlocal kind, text
        if kind:
            out.append((kind, "\n".join(text) if kind == "pre" else " ".join(text)))
        kind, text = None, []

    for line in lines:
        if not line.strip():
            if kind != "pre":
                flush()
            else:
                text.append("")
            continue
        if line.startswith("    ") and kind in (None, "pre"):
            kind = "pre"
            text.append(line[4:])
        elif line.startswith("- "):
            flush()
            kind, text = "li", [line[2:].strip()]
        elif line.startswith("  ") and kind == "li":
            text.append(line.strip())
        else:
            if kind == "pre":
                flush()
            if kind is None:
                kind = "p"
            text.append(line.strip())
    flush()
    if out and out[-1][0] == "pre":
        out[-1] = ("pre", out[-1][1].rstrip("\n"))
    return out


def roff_text(text):
    """Escapes roff's specials and turns `code` into bold."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    parts = text.split("`")
    text = "".join(part if i % 2 == 0 else "\\fB" + part + "\\fR" for i, part in enumerate(parts))
    return text


def roff_line(text):
    text = roff_text(text)
    return "\\&" + text if text.startswith((".", "'")) else text


def man_page(markdown, epoch):
    title, description, found = sections(markdown)
    date = time.strftime("%Y-%m-%d", time.gmtime(int(epoch)))
    out = [f'.TH {title.upper().replace("-", chr(92) + "-")} 1 "{date}" "{title}" "User Commands"',
           ".SH NAME", f"{roff_text(title)} \\- {roff_text(description)}"]
    for heading, lines in found:
        if heading in SKIPPED_SECTIONS:
            continue
        out.append(".SH " + heading.upper())
        first = True
        for kind, text in blocks(lines):
            if kind == "pre":
                out += [".PP" if not first else "", ".nf", ".RS"]
                out += [roff_line(line) for line in text.split("\n")]
                out += [".RE", ".fi"]
            elif kind == "li" and text.startswith("`") and "`:" in text:
                term, rest = text[1:].split("`:", 1)
                term_roff = ", ".join("\\fB" + roff_text(t.strip().strip("`")) + "\\fR"
                                      for t in term.split(","))
                out += [".TP", term_roff, roff_line(rest.strip())]
            elif kind == "li":
                out += [".IP \\(bu 2", roff_line(text)]
            else:
                out += [".PP" if not first else "", roff_line(text)]
            first = False
    return "\n".join(line for line in out if line != "") + "\n"


def usage_block(markdown):
    for heading, lines in sections(markdown)[2]:
        if heading == "Usage":
            pre = [text for kind, text in blocks(lines) if kind == "pre"]
            return pre[0] + "\n" if pre else ""
    return ""


def main(args):
    if len(args) == 4 and args[0] == "man":
        with open(args[1], encoding="utf-8") as f:
            page = man_page(f.read(), args[3])
        with open(args[2], "w", encoding="utf-8") as f:
            f.write(page)
        return 0
    if len(args) == 3 and args[0] == "usage":
        with open(args[1], encoding="utf-8") as f:
            documented = usage_block(f.read())
        shown = subprocess.run([args[2], "--help"], capture_output=True, text=True, check=True).stdout
        if shown != documented:
            print(f"{args[1]}: the Usage section is not what {args[2]} --help shows:")
            print("--- documented\n" + documented + "--- shown\n" + shown)
            return 1
        return 0
    print(__doc__.strip(), file=sys.stderr)
    return 64


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
