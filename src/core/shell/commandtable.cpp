#include "commandtable.h"

#include "core/settings/recentfiles.h"
#include "core/shell/commandids.h"

#include <array>

namespace mdk {

namespace {

using namespace enable;
using P = Popup;
const CommandRow kCommands[] = {
    {CM_FILENEW, P::File, "&New", "Ctrl+N", "Create a new card file", NSPassEnable},
    {CM_FILEOPEN, P::File, "&Open", "Ctrl+O", "Open an existing card file", NSPassEnable},
    {CM_FILESAVE, P::File, "&Save", "Ctrl+S", "Save the current card file on disk", SaveEnable},
    {CM_FILESAVEAS, P::File, "Save &As", nullptr, "Save the current card file under a new name", SaveAsEnable},
    {CM_PRINT, P::File, "&Print cards", "Ctrl+P", "Print the cards in the current file in either card or list format", PrintEnable},
    {CM_MERGE, P::File, "&Merge", nullptr, "Merge multiple files on disk", NSPassEnable},
    {CM_CONVERT, P::File, "&Convert", nullptr, "Convert old files to the current format", NSPassEnable},
    {CM_REVERT, P::File, "R&evert", "Ctrl+R", "Reverts the current file to its original contents", RevertEnable},
    {CM_INFORMATION, P::File, "In&formation", "Ctrl+I", "Get information about the current file", PassEnable},
    {CM_EARLIERVERSIONS, P::File, "Earlier &versions...", nullptr, "Restore a version of the current file kept at an earlier save", VersionsEnable},
    // The recent files: listed above Exit only while their slot holds a file.
    {CM_FILE1, P::File, nullptr, nullptr, recent::kItemHintText, RecentFileEnable<1>},
    {CM_FILE1 + 1, P::File, nullptr, nullptr, recent::kItemHintText, RecentFileEnable<2>},
    {CM_FILE1 + 2, P::File, nullptr, nullptr, recent::kItemHintText, RecentFileEnable<3>},
    {CM_FILE1 + 3, P::File, nullptr, nullptr, recent::kItemHintText, RecentFileEnable<4>},
    {CM_FILE5, P::File, nullptr, nullptr, recent::kItemHintText, RecentFileEnable<5>},
    {CM_EXIT, P::File, "E&xit", nullptr, "Exit Mnemodeck", nullptr},

    {CM_CUT, P::Edit, "C&ut", "Ctrl+X", "Cut the current card from the card file", DeleteEnable},
    {CM_COPY, P::Edit, "&Copy", "Ctrl+C", "Copy the current card to memory", NSPrimaryEnable},
    {CM_PASTE, P::Edit, "&Paste", "Ctrl+V", "Paste a card into the current file from memory", PasteEnable},
    {CM_PASTEFROM, P::Edit, "Paste &from...", nullptr, "Paste from a card file", NSPassEnable},
    {CM_COPYTOFILE, P::Edit, "C&opy to File", nullptr, "Copy the current card to a different file", NSPrimaryEnable, true},
    {CM_COPYDESTINATION, P::Edit, "Copy to File &Destination", nullptr, "Set the file to which your cards will be copied", PassEnable},

    {CM_NEWCATEGORY, P::Category, "&New", nullptr, "Create a new category", NewCategoryEnable},
    {CM_EDITCATEGORY, P::Category, "&Rename", nullptr, "Rename the current category", CategoryEnable},
    {CM_DELETECATEGORY, P::Category, "&Delete", nullptr, "Delete the current category", CategoryEnable},
    {CM_CLEARCATEGORY, P::Category, "&Clear", nullptr, "Delete all the cards in this category", NSPrimaryEnable},
    {CM_SAVECATEGORY, P::Category, "&Save separately", nullptr, "Save the current category in its own file", SaveAsEnable},
    {CM_VIEWSUBCATEGORIES, P::Category, "&View subcategories also", nullptr, "Show the cards in the subcategories of the current category in addition to the regular cards", PassEnable, false, ShowingSubcategories},

    {CM_CARDADD, P::Card, "&Add", "Ctrl+A", "Add a new card or new cards", NSPassEnable},
    {CM_CARDSEARCH, P::Card, "&Search", "Ctrl+F", "Search for a card", SecondaryEnable},
    {CM_SEARCHAGAIN, P::Card, "Search again", "F3", "Search for the last search string again", SearchAgainEnable},
    {CM_SHUFFLE, P::Card, "S&huffle", nullptr, "Shuffle the current card file", SecondaryEnable},
    {CM_FLIP, P::Card, "&Flip", nullptr, "Flip all the cards in the current file", PrimaryEnable},
    {CM_EDIT, P::Card, "&Edit", "Ctrl+E", "Edit the current card", NSPrimaryEnable},
    {CM_DELETECARD, P::Card, "&Delete", "Ctrl+D", "Delete the current card", DeleteEnable},
    {CM_UNDELETE, P::Card, "&Undelete", nullptr, "Undelete one or more cards", UndeleteEnable},
    {CM_UNDELETEALL, P::Card, "Undelete a&ll", nullptr, "Undelete all cards deleted from this card file", UndeleteEnable},
    {CM_MARK, P::Card, "Ma&rk", "Ctrl+M", "Mark this card to exclude it from testing", MarkEnable},
    {CM_UNMARKALL, P::Card, "Unmar&k all", nullptr, "Unmark all the cards in this file to include them in testing", UnMarkEnable},
    {CM_JUMP, P::Card, "&Jump to Card", "Ctrl+J", "Jump to a card", SecondaryEnable},
    {CM_REVIEW, P::Card, "Re&view...", "F5", "Review the cards you do not know yet, the ones due first", ReviewEnable},
    {CM_STATISTICS, P::Card, "Stat&istics...", nullptr, "Show how well the cards are known", PassEnable},
    {CM_MOVE, P::Card, "&Move", nullptr, "Move a card to a different position in the file", NSPrimaryEnable},
    {CM_CHANGEFONT, P::Card, "Change f&ont", nullptr, "Change the card font", PassEnable},
    {CM_NOTEPAD, P::Card, "&Notepad...", nullptr, "Display a notepad", NotepadEnable},

    {CM_HELP, P::Help, "&Help", "F1", "Get on-line help", PassEnable},
    {CM_ABOUT, P::Help, "&About Mnemodeck", nullptr, "About Mnemodeck", AboutEnable, true},
};

const char *const kPopupTitles[] = {"&File", "&Edit", "C&ategory", "&Card", "&Help"};

const int kToolBar[] = {
    CM_FILENEW, CM_FILEOPEN, CM_FILESAVE, CM_PRINT, 0,
    CM_CUT, CM_COPY, CM_PASTE, 0,
    CM_NEWCATEGORY, CM_CARDADD, CM_CARDSEARCH, CM_SHUFFLE, CM_EDIT, CM_DELETECARD,
    CM_MARK, CM_UNMARKALL, CM_JUMP, CM_CHANGEFONT, CM_NOTEPAD,
};

} // namespace

std::span<const CommandRow> commandTable() { return kCommands; }

const CommandRow *findCommand(int id)
{
    for (const CommandRow &row : kCommands)
        if (row.id == id)
            return &row;
    return nullptr;
}

std::span<const char *const> popupTitles() { return kPopupTitles; }

std::span<const int> toolBarLayout() { return kToolBar; }

} // namespace mdk
