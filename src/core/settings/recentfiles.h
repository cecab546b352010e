#pragma once

#include "core/settings/options.h"

#include <QString>
#include <QStringList>

#include <array>

namespace mdk::recent {

// Slot 0 is the card file open now; slots 1 to 5 are the recent-files list,
// most recent first. The used slots always form an unbroken run from 1.
using Slots = std::array<RecentFile, 6>;

inline constexpr int kListSize = 5;
// Command ids of the recent-file items and the separators around them.
inline constexpr int kSeparatorBelowId = 806;
inline constexpr int kSeparatorAboveId = 807;
inline constexpr const char *kItemHintText = QT_TRANSLATE_NOOP("Menu", "Load this recent file");

// How many recent files the menu lists (0 to 5).
int listedCount(const Slots &slots);

// The text of menu item k: "&1.  " + name for k = 1, and so on.
QString itemText(int k, const QString &name);

// The recent-file part of the File menu: the two separators exist exactly
// when items is not empty; items[i] is the text of command 801 + i.
struct FileMenu {
    bool separators = false;
    QStringList items;
};
FileMenu UpdateFileMenu(const Slots &slots);

// Enters an opened (or newly saved) file as the current one. A name already
// in any slot (letter case aside; directories are not compared) changes
// nothing. Otherwise the list moves down one place, unless no file has been
// open yet while files are listed, and slot 0 takes the file. Returns true
// when the slots changed.
bool SetFileMenu(Slots &slots, const QString &name, const QString &path);

// After recent file k (1 to 5) was read: it becomes slot 0. With a file open
// before, that file becomes item 1 and items 1 to k - 1 move down one;
// otherwise the items after k move up one and the list shortens.
void openedRecent(Slots &slots, int k);
// The list position (1 to 5) holding exactly file, or 0 when none does.
int slotOf(const Slots &slots, const RecentFile &file);

// The six slots as they are written at exit: when no file was open, the
// list moves up so that slot 0 holds item 1. Only slots 0 to 4 are stored.
Slots slotsToSave(const Slots &slots);

} // namespace mdk::recent
