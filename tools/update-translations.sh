#!/bin/bash
# Brings the translation files up to date with the texts in the sources:
# new texts are added unfinished, texts no longer used are dropped, and
# finished translations are kept. Run it after changing a user-visible
# text, then translate the new entries (docs/TRANSLATING.md).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
[ -x "$lupdate" ] || lupdate=$(command -v lupdate)
cd "$here"
# Every existing translation, and any new one named on the command line
# (translations/mnemodeck_fr.ts starts French).
shopt -s nullglob
for ts in translations/mnemodeck_*.ts "$@"; do
  "$lupdate" -silent -no-obsolete -locations none -extensions cpp,h,ui src -ts "$ts"
done
