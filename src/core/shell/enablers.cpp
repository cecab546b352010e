#include "enablers.h"

namespace mdk::enable {

namespace {
bool notSub(const EnableState &s) { return !s.deck.showSubCategories(); }
int views(const EnableState &s) { return s.deck.viewCount(); }
int marks(const EnableState &s) { return s.deck.marks().GetCount(); }
bool hasSomething(const EnableState &s) { return views(s) >= 1 || s.deck.tree().nodeCount() > 1; }
} // namespace

bool PassEnable(const EnableState &) { return true; }
bool NSPassEnable(const EnableState &s) { return notSub(s); }
bool PrimaryEnable(const EnableState &s) { return views(s) >= 1; }
bool SecondaryEnable(const EnableState &s) { return views(s) >= 2; }
bool NSPrimaryEnable(const EnableState &s) { return views(s) >= 1 && notSub(s); }
bool SearchAgainEnable(const EnableState &s) { return views(s) >= 2 && !s.options.LastSearch.isEmpty(); }
bool UndeleteEnable(const EnableState &s) { return s.deck.deletedCount() >= 1 && notSub(s); }
bool VersionsEnable(const EnableState &s)
{
    return s.openFileHasVersions && notSub(s);
}
bool RevertEnable(const EnableState &s)
{
    return s.deck.hasBeenSaved() && s.deck.changed() && notSub(s);
}
// Print folds the view back first, so a card only in the view counts.
bool PrintEnable(const EnableState &s) { return (s.deck.fileCount() >= 1 || views(s) >= 1) && notSub(s); }
bool NotepadEnable(const EnableState &s) { return !s.NotepadOn; }
bool AboutEnable(const EnableState &s) { return !s.AboutIsOpen; }
bool DeleteEnable(const EnableState &s)
{
    return notSub(s) && views(s) >= 1 && (marks(s) == 0 || views(s) - marks(s) >= 2);
}
bool PasteEnable(const EnableState &s) { return s.cardInMemory && notSub(s); }
bool UndoEnable(const EnableState &s) { return s.deck.canUndo(); }
bool RedoEnable(const EnableState &s) { return s.deck.canRedo(); }
bool SaveEnable(const EnableState &s) { return hasSomething(s) && s.deck.changed() && notSub(s); }
bool SaveAsEnable(const EnableState &s) { return hasSomething(s) && notSub(s); }
bool NewCategoryEnable(const EnableState &s)
{
    return s.deck.tree().isValid(s.deck.tree().selected()) && notSub(s);
}
bool CategoryEnable(const EnableState &s)
{
    return s.deck.oldTreeName() != CategoryTree::kMainName && notSub(s);
}
bool MarkEnable(const EnableState &s) { return views(s) > marks(s) + 1; }
bool UnMarkEnable(const EnableState &s) { return marks(s) > 0 && views(s) >= 1; }
// A review round needs one card of the view that is not marked.
bool ReviewEnable(const EnableState &s) { return views(s) > marks(s); }
bool ShowingSubcategories(const EnableState &s) { return s.deck.showSubCategories(); }

} // namespace mdk::enable
