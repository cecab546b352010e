#!/usr/bin/env python3
"""Makes the flashcard packages (.apkg) the exchange tests read, one per
collection layout, plus the damaged ones the reader must refuse.

    tools/make-package-testdata.py tests/exchange/data

Every package holds the same notes: basic, reversed, cloze with hints,
nested decks, HTML and entities, media references, a review history and a
note type with three fields. Needs python3 and Debian's zstd tool.
"""

import json
import os
import sqlite3
import subprocess
import sys
import tempfile
import zipfile

FS = "\x1f"

BASIC, REVERSED, CLOZE, THREE = 1001, 1002, 1003, 1004
NOTETYPES = {
    BASIC: dict(name="Basic", cloze=False, fields=["Front", "Back"],
                tmpls=[("Card 1", "{{Front}}", "{{FrontSide}}\n\n<hr id=answer>\n\n{{Back}}")]),
    REVERSED: dict(name="Basic (and reversed card)", cloze=False, fields=["Front", "Back"],
                   tmpls=[("Card 1", "{{Front}}", "{{FrontSide}}\n\n<hr id=answer>\n\n{{Back}}"),
                          ("Card 2", "{{Back}}", "{{FrontSide}}\n\n<hr id=answer>\n\n{{Front}}")]),
    CLOZE: dict(name="Cloze", cloze=True, fields=["Text", "Back Extra"],
                tmpls=[("Cloze", "{{cloze:Text}}", "{{cloze:Text}}<br>\n{{Back Extra}}")]),
    THREE: dict(name="Vocabulary", cloze=False, fields=["Word", "Meaning", "Example"],
                tmpls=[("Word", "{{Word}}{{#Example}}<br><i>{{text:Example}}</i>{{/Example}}",
                        "{{FrontSide}}<hr id=answer>{{Meaning}}{{^Example}}<br>(no example){{/Example}}")]),
}

DECKS = {1: "Default", 10: "Spanish", 11: "Spanish::Verbs", 12: "Spanish::Nouns::Animals", 13: "Geography"}

# (note id, note type, deck, fields, [(ord, queue)])
NOTES = [
    (1, BASIC, 10, ["hola", "hello"], [(0, 0)]),
    (2, BASIC, 12, ["perro", "dog"], [(0, -1)]),  # suspended
    (3, REVERSED, 11, ["comer", "to eat"], [(0, 0), (1, -3)]),  # the reverse buried
    (4, BASIC, 10, ["<b>caf&#233;</b> &amp; t&#xE9;", "coffee<br>and&nbsp;tea &lt;3"], [(0, 0)]),
    (5, BASIC, 12, ['gato <img src="cat.jpg">', "cat [sound:cat.mp3]"], [(0, 0)]),
    (6, CLOZE, 13, ["{{c1::Madrid}} is the capital of {{c2::Spain::country}}", "Europe"], [(0, 0), (1, 0)]),
    (7, THREE, 10, ["casa", "house", "La casa es grande."], [(0, 0)]),
    (8, THREE, 10, ["mesa", "table", ""], [(0, 0)]),
]

# (card id, time in ms, grade, interval, factor, ms taken, kind)
REVLOG = [
    (1001, 1700000000000, 1, -600, 0, 8000, 0),
    (1001, 1700000600000, 3, 1, 2500, 4000, 0),
    (1001, 1700090000000, 4, 4, 2650, 3000, 1),
    (6001, 1700000100000, 2, 1, 2500, 12000, 0),
]


def card_id(note, ord_):
    return note * 1000 + 1 + ord_


LEGACY_SCHEMA = """
CREATE TABLE col (id integer primary key, crt integer not null, mod integer not null, scm integer not null,
  ver integer not null, dty integer not null, usn integer not null, ls integer not null, conf text not null,
  models text not null, decks text not null, dconf text not null, tags text not null);
CREATE TABLE notes (id integer primary key, guid text not null, mid integer not null, mod integer not null,
  usn integer not null, tags text not null, flds text not null, sfld integer not null, csum integer not null,
  flags integer not null, data text not null);
CREATE TABLE cards (id integer primary key, nid integer not null, did integer not null, ord integer not null,
  mod integer not null, usn integer not null, type integer not null, queue integer not null, due integer not null,
  ivl integer not null, factor integer not null, reps integer not null, lapses integer not null,
  left integer not null, odue integer not null, odid integer not null, flags integer not null, data text not null);
CREATE TABLE revlog (id integer primary key, cid integer not null, usn integer not null, ease integer not null,
  ivl integer not null, lastIvl integer not null, factor integer not null, time integer not null,
  type integer not null);
CREATE TABLE graves (usn integer not null, oid integer not null, type integer not null);
"""

NEW_TABLES = """
CREATE TABLE notetypes (id integer not null primary key, name text not null, mtime_secs integer not null,
  usn integer not null, config blob not null);
CREATE TABLE fields (ntid integer not null, ord integer not null, name text not null, config blob not null,
  primary key (ntid, ord)) without rowid;
CREATE TABLE templates (ntid integer not null, ord integer not null, name text not null,
  mtime_secs integer not null, usn integer not null, config blob not null, primary key (ntid, ord)) without rowid;
CREATE TABLE decks (id integer primary key not null, name text not null, mtime_secs integer not null,
  usn integer not null, common blob not null, kind blob not null);
"""


def varint(n):
    out = bytearray()
    while True:
        b = n & 0x7F
        n >>= 7
        if n:
            out.append(b | 0x80)
        else:
            out.append(b)
            return bytes(out)


def pb_varint(field, n):
    return varint(field << 3) + varint(n)


def pb_bytes(field, data):
    if isinstance(data, str):
        data = data.encode()
    return varint(field << 3 | 2) + varint(len(data)) + data


def models_json(types):
    models = {}
    for mid, t in types.items():
        models[str(mid)] = {
            "id": mid, "name": t["name"], "type": 1 if t["cloze"] else 0, "mod": 0, "usn": 0, "sortf": 0,
            "did": 1, "css": ".card {}", "tags": [], "vers": [], "latexPre": "", "latexPost": "", "req": [],
            "flds": [{"name": f, "ord": i, "sticky": False, "rtl": False, "font": "Arial", "size": 20, "media": []}
                     for i, f in enumerate(t["fields"])],
            "tmpls": [{"name": n, "ord": i, "qfmt": q, "afmt": a, "did": None, "bqfmt": "", "bafmt": ""}
                      for i, (n, q, a) in enumerate(t["tmpls"])],
        }
    return json.dumps(models)


def decks_json(decks):
    return json.dumps({str(i): {"id": i, "name": n, "desc": "", "dyn": 0, "conf": 1, "collapsed": False,
                                "mod": 0, "usn": 0} for i, n in decks.items()})


def make_collection(path, layout, types=NOTETYPES, decks=DECKS, notes=NOTES, revlog=REVLOG,
                    models_text=None, template_config=None):
    """layout: 'legacy' (JSON in col) or 'tables' (the newest layout)."""
    db = sqlite3.connect(path)
    db.executescript(LEGACY_SCHEMA)
    if layout == "tables":
        db.executescript(NEW_TABLES)
        db.execute("INSERT INTO col VALUES (1, 1690000000, 0, 0, 18, 0, 0, 0, '', '', '', '', '')")
        for mid, t in types.items():
            db.execute("INSERT INTO notetypes VALUES (?, ?, 0, 0, ?)",
                       (mid, t["name"], pb_varint(1, 1 if t["cloze"] else 0) + pb_bytes(3, ".card {}")))
            for i, f in enumerate(t["fields"]):
                db.execute("INSERT INTO fields VALUES (?, ?, ?, ?)", (mid, i, f, b""))
            for i, (n, q, a) in enumerate(t["tmpls"]):
                config = template_config if template_config is not None else pb_bytes(1, q) + pb_bytes(2, a)
                db.execute("INSERT INTO templates VALUES (?, ?, ?, 0, 0, ?)", (mid, i, n, config))
        for i, n in decks.items():
            db.execute("INSERT INTO decks VALUES (?, ?, 0, 0, ?, ?)", (i, n.replace("::", FS), b"", b""))
    else:
        db.execute("INSERT INTO col VALUES (1, 1690000000, 0, 0, 11, 0, 0, 0, '{}', ?, ?, '{}', '{}')",
                   (models_text if models_text is not None else models_json(types), decks_json(decks)))
    for nid, mid, did, fields, cards in notes:
        db.execute("INSERT INTO notes VALUES (?, ?, ?, 0, 0, ' tag ', ?, ?, 0, 0, '')",
                   (nid, "guid%d" % nid, mid, FS.join(fields), fields[0] if fields else ""))
        for ord_, queue in cards:
            db.execute("INSERT INTO cards VALUES (?, ?, ?, ?, 0, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0, 0, '')",
                       (card_id(nid, ord_), nid, did, ord_, queue))
    for i, (cid, at, ease, ivl, factor, taken, kind) in enumerate(revlog):
        db.execute("INSERT INTO revlog VALUES (?, ?, 0, ?, ?, 0, ?, ?, ?)", (at, cid, ease, ivl, factor, taken, kind))
    db.commit()
    db.close()


def stub_collection(path):
    """What newer packages carry for old readers: one note asking to upgrade."""
    make_collection(path, "legacy", types={BASIC: NOTETYPES[BASIC]}, decks={1: "Default"},
                    notes=[(1, BASIC, 1, ["Please update to the latest version, then import again.", ""],
                            [(0, 0)])],
                    revlog=[])


def zstd(data):
    return subprocess.run(["zstd", "-q", "-c", "-19"], input=data, stdout=subprocess.PIPE, check=True).stdout


def write_zip(path, members):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in members:
            if isinstance(name, zipfile.ZipInfo):
                z.writestr(name, data)
            else:
                z.writestr(name, data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def package(path, layout, **collection_args):
    with tempfile.TemporaryDirectory() as tmp:
        col = os.path.join(tmp, "col")
        stub = os.path.join(tmp, "stub")
        media_json = json.dumps({"0": "cat.jpg", "1": "cat.mp3"})
        if layout == "anki2":
            make_collection(col, "legacy", **collection_args)
            members = [("collection.anki2", read(col)), ("media", media_json), ("0", b"\xff\xd8jpeg"),
                       ("1", b"ID3mp3")]
        elif layout == "anki21":
            make_collection(col, "legacy", **collection_args)
            stub_collection(stub)
            members = [("collection.anki2", read(stub)), ("collection.anki21", read(col)), ("media", media_json),
                       ("0", b"\xff\xd8jpeg"), ("1", b"ID3mp3")]
        else:
            make_collection(col, "tables", **collection_args)
            stub_collection(stub)
            entries = b"".join(pb_bytes(1, pb_bytes(1, n) + pb_varint(2, 6)) for n in ("cat.jpg", "cat.mp3"))
            members = [("collection.anki2", read(stub)), ("collection.anki21b", zstd(read(col))),
                       ("meta", pb_varint(1, 3)), ("media", zstd(entries)),
                       ("0", zstd(b"\xff\xd8jpeg")), ("1", zstd(b"ID3mp3"))]
        write_zip(path, members)


def damaged(out):
    """Packages the reader must refuse, or read with notes skipped."""
    with tempfile.TemporaryDirectory() as tmp:
        col = os.path.join(tmp, "col")
        make_collection(col, "legacy")
        good = read(col)
        write_zip(os.path.join(out, "bad-dotdot.apkg"), [("collection.anki2", good), ("../evil", b"x")])
        write_zip(os.path.join(out, "bad-absolute.apkg"), [("collection.anki2", good), ("/tmp/evil", b"x")])
        link = zipfile.ZipInfo("collection.anki2")
        link.create_system = 3
        link.external_attr = (0o120777 << 16)
        write_zip(os.path.join(out, "bad-link.apkg"), [(link, "/etc/passwd")])
        write_zip(os.path.join(out, "bad-notsqlite.apkg"), [("collection.anki21", b"this is not a database" * 10)])
        write_zip(os.path.join(out, "bad-nocollection.apkg"), [("media", "{}")])
        # A collection that zstd-expands far beyond what it claims: 64 MB of zeros.
        write_zip(os.path.join(out, "bad-bomb.apkg"),
                  [("collection.anki21b", zstd(b"SQLite format 3\0" + bytes(64 << 20)))])
        write_zip(os.path.join(out, "bad-bomb-deflate.apkg"), [("collection.anki2", b"SQLite format 3\0" + bytes(64 << 20))])

        db = sqlite3.connect(os.path.join(tmp, "missing"))
        db.execute("CREATE TABLE col (id integer)")
        db.commit()
        db.close()
        write_zip(os.path.join(out, "bad-missingtable.apkg"), [("collection.anki2", read(os.path.join(tmp, "missing")))])

        make_collection(os.path.join(tmp, "json"), "legacy", models_text='{"1001": {"name": "Basic", "flds": [')
        write_zip(os.path.join(out, "bad-json.apkg"), [("collection.anki2", read(os.path.join(tmp, "json")))])

        make_collection(os.path.join(tmp, "proto"), "tables", template_config=b"\x0a\xff\xff\xff\x0f{{Front}}")
        write_zip(os.path.join(out, "bad-protobuf.apkg"), [("collection.anki21b", zstd(read(os.path.join(tmp, "proto"))))])

        # Notes that are skipped and counted: an unknown note type, a huge
        # field, a note type without fields; and a deck name with empty levels.
        types = dict(NOTETYPES)
        types[2000] = dict(name="Empty", cloze=False, fields=[], tmpls=[("Card 1", "x", "y")])
        notes = [
            (1, BASIC, 20, ["kept", "yes"], [(0, 0)]),
            (2, 9999, 1, ["unknown", "type"], [(0, 0)]),
            (3, BASIC, 1, ["huge", "x" * (1100 * 1024)], [(0, 0)]),
            (4, 2000, 1, [], [(0, 0)]),
        ]
        make_collection(os.path.join(tmp, "skips"), "legacy", types=types, notes=notes, revlog=[],
                        decks={1: "Default", 20: "Top::::Inner::"})
        write_zip(os.path.join(out, "skips.apkg"), [("collection.anki2", read(os.path.join(tmp, "skips")))])


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "tests/exchange/data"
    os.makedirs(out, exist_ok=True)
    package(os.path.join(out, "package-anki2.apkg"), "anki2")
    package(os.path.join(out, "package-anki21.apkg"), "anki21")
    package(os.path.join(out, "package-anki21b.colpkg"), "anki21b")
    damaged(out)


if __name__ == "__main__":
    main()
