#pragma once

#include "core/shell/enablers.h"

#include <span>

namespace mdk {

class MDKMainDlg;

enum class Popup { File, Edit, Category, Card, Help };

// One row per command: where it sits in the menu, its text with mnemonic,
// its key, its status-bar hint, the enabler (none: always enabled) and the
// handler. A row without a handler belongs to a part of the program that is
// not built yet: the command is listed but stays greyed, never enabled with
// nothing behind it.
struct CommandRow {
    int id;
    Popup popup;
    const char *text;
    const char *key; // QKeySequence text, or nullptr
    const char *hint;
    enable::Enabler enabler;
    void (MDKMainDlg::*handler)();
    bool separatorBefore = false;
    bool checkable = false;
};

std::span<const CommandRow> commandTable();
const CommandRow *findCommand(int id);
// The pop-up titles, in menu-bar order.
std::span<const char *const> popupTitles();
// The tool bar from left to right; 0 stands for a separator.
std::span<const int> toolBarLayout();

} // namespace mdk
