#include "commandtable.h"

#include "core/settings/recentfiles.h"
#include "core/shell/commandids.h"

#include <QCoreApplication>

#include <array>
#include <utility>

namespace mdk {

namespace {

// "U&ndo Delete card": the menu item names the step. ("C&ut" has this
// menu's U.)
QString namedItem(const char *bare, const char *named, const QString &step)
{
    if (step.isEmpty())
        return QCoreApplication::translate("Menu", bare);
    return QCoreApplication::translate("Menu", named).arg(QCoreApplication::translate("Step", step.toUtf8().constData()));
}

QString undoText(const EnableState &s)
{
    return namedItem(QT_TRANSLATE_NOOP("Menu", "U&ndo"), QT_TRANSLATE_NOOP("Menu", "U&ndo %1"), s.deck.undoLabel());
}

QString redoText(const EnableState &s)
{
    return namedItem(QT_TRANSLATE_NOOP("Menu", "&Redo"), QT_TRANSLATE_NOOP("Menu", "&Redo %1"), s.deck.redoLabel());
}

using namespace enable;
using P = Popup;
const CommandRow kCommands[] = {
    {CM_FILENEW, P::File, QT_TRANSLATE_NOOP("Menu", "&New"), "Ctrl+N", QT_TRANSLATE_NOOP("Menu", "Create a new card file"), NSPassEnable},
    {CM_FILEOPEN, P::File, QT_TRANSLATE_NOOP("Menu", "&Open"), "Ctrl+O", QT_TRANSLATE_NOOP("Menu", "Open an existing card file"), NSPassEnable},
    {CM_FILESAVE, P::File, QT_TRANSLATE_NOOP("Menu", "&Save"), "Ctrl+S", QT_TRANSLATE_NOOP("Menu", "Save the current card file on disk"), SaveEnable},
    {CM_FILESAVEAS, P::File, QT_TRANSLATE_NOOP("Menu", "Save &As"), nullptr, QT_TRANSLATE_NOOP("Menu", "Save the current card file under a new name"), SaveAsEnable},
    {CM_PRINT, P::File, QT_TRANSLATE_NOOP("Menu", "&Print cards"), "Ctrl+P", QT_TRANSLATE_NOOP("Menu", "Print the cards in the current file in either card or list format"), PrintEnable},
    {CM_MERGE, P::File, QT_TRANSLATE_NOOP("Menu", "&Merge"), nullptr, QT_TRANSLATE_NOOP("Menu", "Merge multiple files on disk"), NSPassEnable},
    {CM_IMPORT, P::File, QT_TRANSLATE_NOOP("Menu", "&Import..."), nullptr, QT_TRANSLATE_NOOP("Menu", "Add the cards of a spreadsheet, a text export, a vocabulary file or a flashcard package"), NSPassEnable},
    {CM_EXPORT, P::File, QT_TRANSLATE_NOOP("Menu", "Expor&t..."), nullptr, QT_TRANSLATE_NOOP("Menu", "Write cards to a spreadsheet, a text file or a vocabulary file"), PassEnable},
    {CM_CONVERT, P::File, QT_TRANSLATE_NOOP("Menu", "&Convert"), nullptr, QT_TRANSLATE_NOOP("Menu", "Convert old files to the current format"), NSPassEnable},
    {CM_REVERT, P::File, QT_TRANSLATE_NOOP("Menu", "R&evert"), "Ctrl+R", QT_TRANSLATE_NOOP("Menu", "Reverts the current file to its original contents"), RevertEnable},
    {CM_INFORMATION, P::File, QT_TRANSLATE_NOOP("Menu", "In&formation"), "Ctrl+I", QT_TRANSLATE_NOOP("Menu", "Get information about the current file"), PassEnable},
    {CM_EARLIERVERSIONS, P::File, QT_TRANSLATE_NOOP("Menu", "Earlier &versions..."), nullptr, QT_TRANSLATE_NOOP("Menu", "Restore a version of the current file kept at an earlier save"), VersionsEnable},
    // The recent files: listed above Exit only while their slot holds a file.
    {CM_FILE1, P::File, nullptr, nullptr, recent::kItemHintText, RecentFileEnable<1>},
    {CM_FILE1 + 1, P::File, nullptr, nullptr, recent::kItemHintText, RecentFileEnable<2>},
    {CM_FILE1 + 2, P::File, nullptr, nullptr, recent::kItemHintText, RecentFileEnable<3>},
    {CM_FILE1 + 3, P::File, nullptr, nullptr, recent::kItemHintText, RecentFileEnable<4>},
    {CM_FILE5, P::File, nullptr, nullptr, recent::kItemHintText, RecentFileEnable<5>},
    {CM_EXIT, P::File, QT_TRANSLATE_NOOP("Menu", "E&xit"), nullptr, QT_TRANSLATE_NOOP("Menu", "Exit Mnemodeck"), nullptr},

    {.id = CM_UNDO, .popup = P::Edit, .text = QT_TRANSLATE_NOOP("Menu", "U&ndo"), .key = "Ctrl+Z", .hint = QT_TRANSLATE_NOOP("Menu", "Undo the last change to the cards or categories"), .enabler = UndoEnable, .currentText = undoText},
    {.id = CM_REDO, .popup = P::Edit, .text = QT_TRANSLATE_NOOP("Menu", "&Redo"), .key = "Ctrl+Shift+Z; Ctrl+Y", .hint = QT_TRANSLATE_NOOP("Menu", "Redo the change last undone"), .enabler = RedoEnable, .currentText = redoText},
    {CM_CUT, P::Edit, QT_TRANSLATE_NOOP("Menu", "C&ut"), "Ctrl+X", QT_TRANSLATE_NOOP("Menu", "Cut the current card from the card file"), DeleteEnable, true},
    {CM_COPY, P::Edit, QT_TRANSLATE_NOOP("Menu", "&Copy"), "Ctrl+C", QT_TRANSLATE_NOOP("Menu", "Copy the current card to memory"), NSPrimaryEnable},
    {CM_PASTE, P::Edit, QT_TRANSLATE_NOOP("Menu", "&Paste"), "Ctrl+V", QT_TRANSLATE_NOOP("Menu", "Paste a card into the current file from memory"), PasteEnable},
    {CM_PASTEFROM, P::Edit, QT_TRANSLATE_NOOP("Menu", "Paste &from..."), nullptr, QT_TRANSLATE_NOOP("Menu", "Paste from a card file"), NSPassEnable},
    {CM_COPYTOFILE, P::Edit, QT_TRANSLATE_NOOP("Menu", "C&opy to File"), nullptr, QT_TRANSLATE_NOOP("Menu", "Copy the current card to a different file"), NSPrimaryEnable, true},
    {CM_COPYDESTINATION, P::Edit, QT_TRANSLATE_NOOP("Menu", "Copy to File &Destination"), nullptr, QT_TRANSLATE_NOOP("Menu", "Set the file to which your cards will be copied"), PassEnable},

    {CM_NEWCATEGORY, P::Category, QT_TRANSLATE_NOOP("Menu", "&New"), nullptr, QT_TRANSLATE_NOOP("Menu", "Create a new category"), NewCategoryEnable},
    {CM_EDITCATEGORY, P::Category, QT_TRANSLATE_NOOP("Menu", "&Rename"), nullptr, QT_TRANSLATE_NOOP("Menu", "Rename the current category"), CategoryEnable},
    {CM_DELETECATEGORY, P::Category, QT_TRANSLATE_NOOP("Menu", "&Delete"), nullptr, QT_TRANSLATE_NOOP("Menu", "Delete the current category"), CategoryEnable},
    {CM_CLEARCATEGORY, P::Category, QT_TRANSLATE_NOOP("Menu", "&Clear"), nullptr, QT_TRANSLATE_NOOP("Menu", "Delete all the cards in this category"), NSPrimaryEnable},
    {CM_SAVECATEGORY, P::Category, QT_TRANSLATE_NOOP("Menu", "&Save separately"), nullptr, QT_TRANSLATE_NOOP("Menu", "Save the current category in its own file"), SaveAsEnable},
    {CM_VIEWSUBCATEGORIES, P::Category, QT_TRANSLATE_NOOP("Menu", "&View subcategories also"), nullptr, QT_TRANSLATE_NOOP("Menu", "Show the cards in the subcategories of the current category in addition to the regular cards"), PassEnable, false, ShowingSubcategories},

    {CM_CARDADD, P::Card, QT_TRANSLATE_NOOP("Menu", "&Add"), "Ctrl+A", QT_TRANSLATE_NOOP("Menu", "Add a new card or new cards"), NSPassEnable},
    {CM_CARDSEARCH, P::Card, QT_TRANSLATE_NOOP("Menu", "&Search"), "Ctrl+F", QT_TRANSLATE_NOOP("Menu", "Search for a card"), SecondaryEnable},
    {CM_SEARCHAGAIN, P::Card, QT_TRANSLATE_NOOP("Menu", "Search again"), "F3", QT_TRANSLATE_NOOP("Menu", "Search for the last search string again"), SearchAgainEnable},
    {CM_SHUFFLE, P::Card, QT_TRANSLATE_NOOP("Menu", "S&huffle"), nullptr, QT_TRANSLATE_NOOP("Menu", "Shuffle the current card file"), SecondaryEnable},
    {CM_FLIP, P::Card, QT_TRANSLATE_NOOP("Menu", "&Flip"), nullptr, QT_TRANSLATE_NOOP("Menu", "Flip all the cards in the current file"), PrimaryEnable},
    {CM_EDIT, P::Card, QT_TRANSLATE_NOOP("Menu", "&Edit"), "Ctrl+E", QT_TRANSLATE_NOOP("Menu", "Edit the current card"), NSPrimaryEnable},
    {CM_DELETECARD, P::Card, QT_TRANSLATE_NOOP("Menu", "&Delete"), "Ctrl+D", QT_TRANSLATE_NOOP("Menu", "Delete the current card"), DeleteEnable},
    {CM_UNDELETE, P::Card, QT_TRANSLATE_NOOP("Menu", "&Undelete"), nullptr, QT_TRANSLATE_NOOP("Menu", "Undelete one or more cards"), UndeleteEnable},
    {CM_UNDELETEALL, P::Card, QT_TRANSLATE_NOOP("Menu", "Undelete a&ll"), nullptr, QT_TRANSLATE_NOOP("Menu", "Undelete all cards deleted from this card file"), UndeleteEnable},
    {CM_MARK, P::Card, QT_TRANSLATE_NOOP("Menu", "Ma&rk"), "Ctrl+M", QT_TRANSLATE_NOOP("Menu", "Mark this card to exclude it from testing"), MarkEnable},
    {CM_UNMARKALL, P::Card, QT_TRANSLATE_NOOP("Menu", "Unmar&k all"), nullptr, QT_TRANSLATE_NOOP("Menu", "Unmark all the cards in this file to include them in testing"), UnMarkEnable},
    {CM_JUMP, P::Card, QT_TRANSLATE_NOOP("Menu", "&Jump to Card"), "Ctrl+J", QT_TRANSLATE_NOOP("Menu", "Jump to a card"), SecondaryEnable},
    {CM_REVIEW, P::Card, QT_TRANSLATE_NOOP("Menu", "Re&view..."), "F5", QT_TRANSLATE_NOOP("Menu", "Review the cards you do not know yet, the ones due first"), ReviewEnable},
    {CM_STATISTICS, P::Card, QT_TRANSLATE_NOOP("Menu", "Stat&istics..."), nullptr, QT_TRANSLATE_NOOP("Menu", "Show how well the cards are known"), PassEnable},
    {CM_REVIEWOPTIONS, P::Card, QT_TRANSLATE_NOOP("Menu", "Review op&tions..."), nullptr, QT_TRANSLATE_NOOP("Menu", "Set how many cards a round takes, which side asks and when a new day starts"), PassEnable},
    {CM_MOVE, P::Card, QT_TRANSLATE_NOOP("Menu", "&Move"), nullptr, QT_TRANSLATE_NOOP("Menu", "Move a card to a different position in the file"), NSPrimaryEnable},
    {CM_CHANGEFONT, P::Card, QT_TRANSLATE_NOOP("Menu", "Change f&ont"), nullptr, QT_TRANSLATE_NOOP("Menu", "Change the card font"), PassEnable},
    {CM_NOTEPAD, P::Card, QT_TRANSLATE_NOOP("Menu", "&Notepad..."), nullptr, QT_TRANSLATE_NOOP("Menu", "Display a notepad"), NotepadEnable},

    {CM_HELP, P::Help, QT_TRANSLATE_NOOP("Menu", "&Help"), "F1", QT_TRANSLATE_NOOP("Menu", "Get on-line help"), PassEnable},
    {CM_ABOUT, P::Help, QT_TRANSLATE_NOOP("Menu", "&About Mnemodeck"), nullptr, QT_TRANSLATE_NOOP("Menu", "About Mnemodeck"), AboutEnable, true},
};

const char *const kPopupTitles[] = {QT_TRANSLATE_NOOP("Menu", "&File"), QT_TRANSLATE_NOOP("Menu", "&Edit"), QT_TRANSLATE_NOOP("Menu", "C&ategory"), QT_TRANSLATE_NOOP("Menu", "&Card"), QT_TRANSLATE_NOOP("Menu", "&Help")};

const int kToolBar[] = {
    CM_FILENEW, CM_FILEOPEN, CM_FILESAVE, CM_PRINT, 0,
    CM_CUT, CM_COPY, CM_PASTE, 0,
    CM_NEWCATEGORY, CM_CARDADD, CM_CARDSEARCH, CM_SHUFFLE, CM_EDIT, CM_DELETECARD,
    CM_MARK, CM_UNMARKALL, CM_JUMP, CM_CHANGEFONT, CM_NOTEPAD, 0,
    CM_UNDO, CM_REDO,
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

QString stepName(int id)
{
    // The names undo gives the changes; other commands change nothing of
    // their own or only move about, and their moves join the next step.
    static const std::pair<int, const char *> kSteps[] = {
        {CM_CARDADD, QT_TRANSLATE_NOOP("Step", "Add card")},
        {CM_EDIT, QT_TRANSLATE_NOOP("Step", "Edit card")},
        {CM_DELETECARD, QT_TRANSLATE_NOOP("Step", "Delete card")},
        {CM_CUT, QT_TRANSLATE_NOOP("Step", "Cut")},
        {CM_PASTE, QT_TRANSLATE_NOOP("Step", "Paste")},
        {CM_PASTEFROM, QT_TRANSLATE_NOOP("Step", "Paste from")},
        {CM_UNDELETE, QT_TRANSLATE_NOOP("Step", "Undelete")},
        {CM_UNDELETEALL, QT_TRANSLATE_NOOP("Step", "Undelete all")},
        {CM_MOVE, QT_TRANSLATE_NOOP("Step", "Move card")},
        {CM_FLIP, QT_TRANSLATE_NOOP("Step", "Flip")},
        {CM_SHUFFLE, QT_TRANSLATE_NOOP("Step", "Shuffle")},
        {CM_CARDSEARCH, QT_TRANSLATE_NOOP("Step", "Delete duplicates")},
        {CM_NEWCATEGORY, QT_TRANSLATE_NOOP("Step", "New category")},
        {CM_EDITCATEGORY, QT_TRANSLATE_NOOP("Step", "Rename category")},
        {CM_DELETECATEGORY, QT_TRANSLATE_NOOP("Step", "Delete category")},
        {CM_CLEARCATEGORY, QT_TRANSLATE_NOOP("Step", "Clear category")},
        {CM_IMPORT, QT_TRANSLATE_NOOP("Step", "Import")},
    };
    if (id == CM_UNDO || id == CM_REDO)
        return {};
    for (const auto &[command, name] : kSteps)
        if (command == id)
            return QString::fromUtf8(name);
    return QStringLiteral(QT_TRANSLATE_NOOP("Step", "Change"));
}

} // namespace mdk
