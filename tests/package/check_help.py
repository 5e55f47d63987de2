#!/usr/bin/env python3
"""Checks the help file's form: UTF-8 HTML that the help viewer shows on its own, with working contents links."""

import html.parser
import sys

VOID = {"meta", "br", "hr", "img", "link"}
# What the help viewer understands; anything else would show as plain text or be dropped.
ALLOWED = VOID | {"html", "head", "title", "style", "body", "h1", "h2", "h3", "p", "a", "ul", "ol", "li",
                  "table", "tr", "th", "td", "pre", "strong", "span", "code"}


class HelpParser(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.anchors, self.links, self.problems = [], set(), [], []
        self.charset = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        where = "line %d" % self.getpos()[0]
        if tag not in ALLOWED:
            self.problems.append("%s: element <%s>" % (where, tag))
        for name, value in attrs.items():
            if name.startswith("on") or name in ("src", "background"):
                self.problems.append("%s: attribute %s" % (where, name))
        if tag == "meta" and "charset=utf-8" in (attrs.get("content") or "").lower():
            self.charset = "utf-8"
        if tag == "a" and "name" in attrs:
            if attrs["name"] in self.anchors:
                self.problems.append("%s: anchor %s twice" % (where, attrs["name"]))
            self.anchors.add(attrs["name"])
        if tag == "a" and "href" in attrs:
            self.links.append((where, attrs["href"]))
        if tag not in VOID:
            self.stack.append((tag, where))

    def handle_endtag(self, tag):
        if not self.stack or self.stack[-1][0] != tag:
            self.problems.append("line %d: </%s> does not close %r" % (self.getpos()[0], tag,
                                                                      self.stack[-1] if self.stack else None))
            return
        self.stack.pop()


def main():
    text = open(sys.argv[1], encoding="utf-8").read()  # fails on anything that is not UTF-8
    parser = HelpParser()
    parser.feed(text)
    parser.close()
    problems = parser.problems
    problems += ["<%s> from %s never closed" % entry for entry in parser.stack]
    if parser.charset != "utf-8":
        problems.append("no UTF-8 charset declaration")
    for where, href in parser.links:
        if not href.startswith("#"):
            problems.append("%s: link %s leaves the file" % (where, href))
        elif href[1:] not in parser.anchors:
            problems.append("%s: link %s has no anchor" % (where, href))
    if len(parser.links) < 10:
        problems.append("expected a table of contents with links, found %d links" % len(parser.links))
    if problems:
        sys.exit("\n".join(problems))
    print("help file is well formed, %d links, %d anchors" % (len(parser.links), len(parser.anchors)))


if __name__ == "__main__":
    main()
