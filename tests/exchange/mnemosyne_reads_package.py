#!/usr/bin/python3
"""Checks that Mnemosyne 2.9 (Debian package `mnemosyne`) imports the
packages we write, through its own library.

    tests/exchange/mnemosyne_reads_package.py MDKTOOL SOURCE.apkg

Imports SOURCE with mdktool, answers a review round, exports the deck as a
package and as CSV, imports the package into a fresh Mnemosyne database and
compares: every card with its two fields, its category as the last level of
its deck (Mnemosyne's tag), and one review row per answer. Exits 77 (the
CTest skip code) when Mnemosyne is not installed.
"""

import csv
import html
import os
import subprocess
import sys
import tempfile

try:
    from mnemosyne.script import Mnemosyne
except ImportError:
    print("Mnemosyne is not installed")
    sys.exit(77)


def field(text):
    return html.escape(text, quote=False).replace("\r\n", "<br>").replace("\n", "<br>")


def main():
    mdktool, source = sys.argv[1], os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as tmp:
        env = dict(os.environ, MNEMODECK_PROGRESS=os.path.join(tmp, "progress.sqlite"))
        run = lambda *args: subprocess.run([mdktool, *args], env=env, check=True, cwd=tmp,
                                           stdout=subprocess.PIPE, text=True).stdout
        run("import", source, "deck.mdk")
        answers = run("review", "--answers", "kuk" * 100, "deck.mdk").strip().splitlines()
        run("export", "--format", "apkg", "deck.mdk", "cards.apkg")
        run("export", "--format", "csv", "deck.mdk", "cards.csv")
        with open(os.path.join(tmp, "cards.csv"), encoding="utf-8", newline="") as f:
            rows = list(csv.reader(f))[1:]
        expected = sorted((category, field(side1), field(side2)) for side1, side2, category in rows)

        m = Mnemosyne(os.path.join(tmp, "mnemosyne"))
        try:
            anki = [f for f in m.component_manager.all("file_format") if type(f).__name__ == "Anki2"][0]
            anki.do_import(os.path.join(tmp, "cards.apkg"))
            db = m.database()
            got = []
            for card_id, _ in db.cards():
                card = db.card(card_id, is_id_internal=True)
                decks = [t.name for t in card.tags if t.name != "__UNTAGGED__"]
                got.append(("|".join(d.split("::")[-1] for d in decks), card.fact.data["0"], card.fact.data["1"]))
            got.sort()
            reviews = db.con.execute("select count() from log where event_type=9").fetchone()[0]
        finally:
            m.finalise()
    if got != expected:
        print("Mnemosyne read:", *got[:12], sep="\n  ")
        print("expected:", *expected[:12], sep="\n  ")
        sys.exit(1)
    if reviews != len(answers):
        print("Mnemosyne read %d reviews, expected %d" % (reviews, len(answers)))
        sys.exit(1)
    print("Mnemosyne imported %d cards and %d reviews" % (len(got), reviews))


if __name__ == "__main__":
    main()
