#!/usr/bin/env python3
"""The help page: well-formed HTML in Japanese whose every picture exists."""
import os
import sys
from html.parser import HTMLParser

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PAGE = os.path.join(ROOT, "help", "quillet.html")
VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}
# Elements whose end tag HTML lets one leave out; the page closes them all the same.
REQUIRED = {"html", "head", "title", "body", "h1", "h2", "table", "ul"}


class Checker(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open = []
        self.faults = []
        self.seen = set()
        self.pictures = []
        self.lang = None
        self.charset = None

    def fault(self, text):
        self.faults.append("line %d: %s" % (self.getpos()[0], text))

    def handle_decl(self, decl):
        if decl.lower() != "doctype html":
            self.fault("unexpected declaration " + decl)
        self.seen.add("!doctype")

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.seen.add(tag)
        if tag == "html":
            self.lang = attrs.get("lang")
        if tag == "meta" and "charset" in attrs:
            self.charset = attrs["charset"].lower()
        if tag == "img":
            if not attrs.get("src"):
                self.fault("a picture without src")
            if not attrs.get("alt"):
                self.fault("a picture without alt text")
            self.pictures.append(attrs.get("src") or "")
        if tag not in VOID:
            self.open.append(tag)

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.open.pop()

    def handle_endtag(self, tag):
        if tag in VOID:
            self.fault("end tag of the void element " + tag)
        elif not self.open or self.open[-1] != tag:
            self.fault("</%s> closes %s" % (tag, self.open[-1] if self.open else "nothing"))
        else:
            self.open.pop()


def main():
    with open(PAGE, "rb") as f:
        data = f.read()
    text = data.decode("utf-8")
    checker = Checker()
    checker.feed(text)
    checker.close()
    faults = checker.faults
    if checker.open:
        faults.append("left open: " + ", ".join(checker.open))
    for tag in REQUIRED | {"!doctype", "img"}:
        if tag not in checker.seen:
            faults.append("no " + tag)
    if checker.lang != "ja":
        faults.append("the page is not marked as Japanese")
    if checker.charset != "utf-8":
        faults.append("the page does not declare its UTF-8 encoding")
    for src in checker.pictures:
        path = os.path.normpath(os.path.join(os.path.dirname(PAGE), src))
        if "://" in src or not os.path.isfile(path):
            faults.append("missing picture " + src)
    for name in ("chime.png", "menu.png"):
        if "images/" + name not in checker.pictures:
            faults.append("no picture images/" + name)
    # Every menu item is explained.
    for item in ("風の対象", "メモリ", "ランダム", "風の種類", "そよ風", "台風", "気まぐれ風", "風鈴の音量", "大きめ",
                 "普通", "小さめ", "OFF", "風鈴の感度", "高", "中", "低", "風鈴の位置", "窓に吊るす", "自由に吊るす",
                 "常に前面に自由に吊るす", "ヘルプ", "Quilletについて...", "終了", "quillet.ini"):
        if item not in text:
            faults.append("nothing about " + item)
    for fault in faults:
        print(fault)
    print("%s: %d pictures, %d faults" % (PAGE, len(checker.pictures), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
