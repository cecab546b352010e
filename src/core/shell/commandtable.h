#pragma once

#include "core/shell/enablers.h"

#include <span>

namespace mdk {

enum class Popup { File, Edit, Category, Card, Help };

// What a command is: where it sits in the menu, its text with mnemonic, its
// key, its status-bar hint, its enabler (none: always enabled) and, for a
// checkable item, what decides its check mark. Who carries it out is not
// part of the row: each subsystem's controller binds its own ids, and a row
// that nothing binds stays greyed.
// Texts and hints are English source texts of the kMenuContext translation
// context; whoever shows them translates them.
inline constexpr const char *kMenuContext = "Menu";

struct CommandRow {
    int id;
    Popup popup;
    const char *text; // nullptr: the text changes at run time (recent files)
    const char *key;  // QKeySequence text, or nullptr
    const char *hint;
    enable::Enabler enabler;
    bool separatorBefore = false;
    enable::Enabler checked = nullptr; // set for checkable items
    // The text as it reads now, for items that name what they would do.
    QString (*currentText)(const EnableState &) = nullptr;
};

std::span<const CommandRow> commandTable();
const CommandRow *findCommand(int id);
// The pop-up titles, in menu-bar order.
std::span<const char *const> popupTitles();
// The tool bar from left to right; 0 stands for a separator.
std::span<const int> toolBarLayout();
// What undo calls the change a command makes; empty for the commands that
// are no change of their own (Undo and Redo).
QString stepName(int id);

} // namespace mdk
