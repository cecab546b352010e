#!/usr/bin/env python3
"""Checks that Mnemosyne 2.9 (Debian package `mnemosyne`) imports a package
we wrote, through its own library: the cards with their fields, the decks
as tags and the review history.

    tests/exchange/mnemosyne_reads_package.py PACKAGE.apkg EXPECTED.tsv

EXPECTED.tsv holds one card a line: deck path, side 1, side 2 (as HTML),
tab-separated. Exits 0 when Mnemosyne's cards are exactly those; 77 (the
CTest skip code) when Mnemosyne is not installed.
"""

import os
import shutil
import sys
import tempfile

try:
    from mnemosyne.script import Mnemosyne
except ImportError:
    print("Mnemosyne is not installed")
    sys.exit(77)


def main():
    package, expected_file = sys.argv[1], sys.argv[2]
    with open(expected_file, encoding="utf-8") as f:
        expected = sorted(tuple(line.rstrip("\n").split("\t")) for line in f if line.strip())
    with tempfile.TemporaryDirectory() as tmp:
        # Mnemosyne unpacks beside the file it imports.
        copy = os.path.join(tmp, "cards.apkg")
        shutil.copy(package, copy)
        m = Mnemosyne(os.path.join(tmp, "data"))
        try:
            formats = [f for f in m.component_manager.all("file_format") if type(f).__name__ == "Anki2"]
            formats[0].do_import(copy)
            db = m.database()
            got = []
            for card_id, fact_id in db.cards():
                card = db.card(card_id, is_id_internal=True)
                decks = sorted(t.name for t in card.tags if t.name != "__UNTAGGED__")
                got.append(("|".join(decks), card.fact.data["0"], card.fact.data["1"]))
            got.sort()
            reviews = db.con.execute("select count() from log where event_type=9").fetchone()[0]
        finally:
            m.finalise()
    if got != expected:
        print("Mnemosyne read:", *got[:10], sep="\n  ")
        print("expected:", *expected[:10], sep="\n  ")
        sys.exit(1)
    print("Mnemosyne imported %d cards and %d reviews" % (len(got), reviews))
    if len(sys.argv) > 3 and reviews != int(sys.argv[3]):
        print("expected %s reviews" % sys.argv[3])
        sys.exit(1)


if __name__ == "__main__":
    main()
