#!/usr/bin/python3
"""Reads an export file back with standard parsers, as a user's tools would,
and prints what it holds as JSON: {"sets": [{"header": [...], "rows": [[...]]}]}.
A cell is a string, or null where the format keeps NULL apart (JSON, XLSX
empty cells, SQL). Numbers come back as their text (JSON: exactly as written;
XLSX: Python's shortest form of the stored double); booleans as "true"/"false".

usage: read_export.py FORMAT FILE [CREATE-TABLE-STATEMENT]
(sql-insert: the rows are inserted into an in-memory SQLite table made by the
statement, then read back.)
"""
import csv
import html.parser
import json
import re
import sqlite3
import sys


def cell(v):
    if v is None:
        return None
    if isinstance(v, bool):
        return "true" if v else "false"
    if isinstance(v, float):
        return repr(v)
    if isinstance(v, (bytes, memoryview)):
        return bytes(v).hex().upper()
    return str(v)


def split_sets(rows):
    sets, cur = [], []
    for r in rows:
        if r == []:
            sets.append(cur)
            cur = []
        else:
            cur.append(r)
    sets.append(cur)
    return [{"header": s[0], "rows": s[1:]} for s in sets if s]


def read_csv(path, delimiter):
    with open(path, newline="", encoding="utf-8") as f:
        return split_sets(list(csv.reader(f, delimiter=delimiter, strict=True)))


def read_json(path):
    text = open(path, encoding="utf-8").read()
    dec = json.JSONDecoder(parse_int=str, parse_float=str)
    sets, pos = [], 0
    while True:
        while pos < len(text) and text[pos] in " \t\r\n":
            pos += 1
        if pos >= len(text):
            return sets
        value, pos = dec.raw_decode(text, pos)
        header = list(value[0].keys()) if value else []
        sets.append({"header": header, "rows": [[cell(v) for v in o.values()] for o in value]})


def read_jsonl(path):
    rows = [json.loads(line, parse_int=str, parse_float=str) for line in open(path, encoding="utf-8")]
    header = list(rows[0].keys()) if rows else []
    return [{"header": header, "rows": [[cell(v) for v in o.values()] for o in rows]}]


class Tables(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.sets, self.row, self.text, self.in_head = [], None, None, False

    def handle_starttag(self, tag, attrs):
        if tag in ("thead", "tbody"):
            self.in_head = tag == "thead"
        elif tag == "table":
            self.sets.append({"header": [], "rows": []})
        elif tag == "tr":
            self.row = []
        elif tag in ("td", "th"):
            self.text = ""

    def handle_endtag(self, tag):
        if tag in ("td", "th"):
            self.row.append(self.text)
            self.text = None
        elif tag == "tr":
            if self.in_head:
                self.sets[-1]["header"] = self.row
            else:
                self.sets[-1]["rows"].append(self.row)

    def handle_data(self, data):
        if self.text is not None:
            self.text += data


def read_html(path):
    p = Tables()
    p.feed(open(path, encoding="utf-8", newline="").read())
    return p.sets


def md_cells(line):
    cells, cur, i = [], "", 1  # after the leading '|'
    while i < len(line):
        c = line[i]
        if c == "\\" and i + 1 < len(line):
            cur += line[i + 1]
            i += 2
            continue
        if c == "|":
            cells.append(cur[1:-1] if cur.startswith(" ") and cur.endswith(" ") and len(cur) >= 2 else cur)
            cur = ""
        elif line.startswith("<br>", i):
            cur += "\n"
            i += 4
            continue
        else:
            cur += c
        i += 1
    return cells


def read_markdown(path):
    rows = []
    for line in open(path, encoding="utf-8", newline="").read().split("\n"):
        line = line.rstrip("\r")
        rows.append(md_cells(line) if line.startswith("|") else [])
    sets = split_sets(rows)
    for s in sets:
        s["rows"] = s["rows"][1:]  # the alignment row
    return sets


def read_sql(path, create):
    db = sqlite3.connect(":memory:")
    db.execute(create)
    db.executescript(open(path, encoding="utf-8", newline="").read())
    table = re.search(r"CREATE TABLE\s+(\w+)", create, re.I).group(1)
    cur = db.execute("SELECT * FROM %s" % table)
    return [{"header": [d[0] for d in cur.description], "rows": [[cell(v) for v in r] for r in cur]}]


def read_xlsx(path):
    import openpyxl
    from openpyxl.utils.escape import unescape
    book = openpyxl.load_workbook(path, read_only=True)
    sets = []
    for sheet in book.worksheets:
        # control characters are stored as _xHHHH_ (as the OOXML standard says), which spreadsheets read back
        rows = [[cell(unescape(v) if isinstance(v, str) else v) for v in r] for r in sheet.iter_rows(values_only=True)]
        sets.append({"header": rows[0] if rows else [], "rows": rows[1:]})
    return sets


def main():
    fmt, path = sys.argv[1], sys.argv[2]
    readers = {
        "csv": lambda: read_csv(path, ","),
        "tsv": lambda: read_csv(path, "\t"),
        "json": lambda: read_json(path),
        "jsonl": lambda: read_jsonl(path),
        "html": lambda: read_html(path),
        "markdown": lambda: read_markdown(path),
        "sql-insert": lambda: read_sql(path, sys.argv[3]),
        "xlsx": lambda: read_xlsx(path),
    }
    json.dump({"sets": readers[fmt]()}, sys.stdout)


main()
