#pragma once

#include "core/settings/options.h"
#include "core/deck/deck.h"

namespace mdk {

// What the enablers look at: the deck, the options, the two
// single-instance windows and the copy memory.
struct EnableState {
    const Deck &deck;
    const Options &options;
    bool NotepadOn = false;
    bool AboutIsOpen = false;
    bool cardInMemory = false; // the card commands' copy memory holds a card
    bool openFileHasVersions = false; // earlier versions of the open file are kept
};

// Whether a command may run now, one function per enabler of the command
// table.
namespace enable {
using Enabler = bool (*)(const EnableState &);
bool UndoEnable(const EnableState &s);
bool RedoEnable(const EnableState &s);

bool PassEnable(const EnableState &);
bool NSPassEnable(const EnableState &);
bool PrimaryEnable(const EnableState &);
bool SecondaryEnable(const EnableState &);
bool NSPrimaryEnable(const EnableState &);
bool SearchAgainEnable(const EnableState &);
bool UndeleteEnable(const EnableState &);
bool RevertEnable(const EnableState &);
bool PrintEnable(const EnableState &);
bool NotepadEnable(const EnableState &);
bool AboutEnable(const EnableState &);
bool DeleteEnable(const EnableState &);
bool PasteEnable(const EnableState &);
bool SaveEnable(const EnableState &);
bool SaveAsEnable(const EnableState &);
bool NewCategoryEnable(const EnableState &);
bool CategoryEnable(const EnableState &);
bool MarkEnable(const EnableState &);
bool UnMarkEnable(const EnableState &);
bool VersionsEnable(const EnableState &);
bool ReviewEnable(const EnableState &);

// The check mark of "View subcategories also".
bool ShowingSubcategories(const EnableState &);
// Recent file k: listed and not in subcategory mode.
template <int k>
bool RecentFileEnable(const EnableState &s)
{
    return !s.deck.showSubCategories() && !s.options.files[size_t(k)].name.isEmpty();
}
} // namespace enable

} // namespace mdk
