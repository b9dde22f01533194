#!/bin/sh
# Brings translations/*.ts in line with the tr() strings of the window and
# the core; new strings come in unfinished, for a translator to fill in.
# The command line's output stays English: scripts read it.
set -e
cd "$(dirname "$0")/.."
LUPDATE=${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}
"$LUPDATE" -silent -locations none -no-obsolete -I src src/core src/gui src/main.cpp \
    -ts translations/sonbridge_de.ts translations/sonbridge_fr.ts
