#!/bin/sh
# The layers hold: the core includes no widget or GUI header and nothing
# from src/gui; no subsystem includes the shell; the core's subsystems do not
# include the core shell; a GUI subsystem includes no sibling subsystem (only
# itself, gui/common and the core), so what two of them share lives in
# gui/common.
src=${1:?usage: check-layers.sh SRC_DIR}
cd "$src" || exit 2
status=0
report() {
    if [ -n "$2" ]; then
        echo "$1:"
        echo "$2"
        status=1
    fi
}
report "the core includes the widgets layer or a GUI module" \
    "$(grep -rnE '#include *[<"](gui/|QtWidgets|QtGui|QtPrintSupport|Q(Widget|Dialog|MainWindow|Label|Action|Menu|Tree|Scroll|Font|Painter|Image|Pixmap|Icon|Application|GuiApplication|Screen|Color)\b)' core)"
report "a subsystem includes the shell" \
    "$(grep -rn '#include "gui/shell/' gui | grep -v '^gui/shell/')"
report "a core subsystem includes the core shell" \
    "$(grep -rn '#include "core/shell/' core | grep -v '^core/shell/')"
report "a GUI subsystem includes a sibling subsystem" \
    "$(grep -rnE '#include *"gui/[a-z]+/' gui | grep -vE '^gui/shell/' |
        sed -nE 's#^gui/([a-z]+)/(.*"gui/([a-z]+)/.*)$#\1 \3 gui/\1/\2#p' |
        awk '$1 != $2 && $2 != "common" { $1 = ""; $2 = ""; sub(/^  /, ""); print }')"
exit $status
