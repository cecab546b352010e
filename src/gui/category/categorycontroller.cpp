#include "categorycontroller.h"

#include "core/category/categorycommands.h"
#include "core/deck/deck.h"
#include "core/shell/commandids.h"
#include "gui/category/categorynamedlg.h"
#include "gui/category/deletecategorydlg.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"

#include <QCoreApplication>

namespace mdk {

namespace {

// Runs a name dialog until it is cancelled or a valid name is accepted;
// apply receives the cleaned name.
template <class Apply>
bool runNameDialog(CategoryNameDlg &dialog, Deck &deck, UserDialogs &dialogs, Apply apply)
{
    bool applied = false;
    QObject::connect(&dialog, &CategoryNameDlg::okRequested, &dialog, [&] {
        const QString name = category::cleanName(dialog.name());
        switch (category::checkName(deck, name)) {
        case category::NameCheck::Used:
            dialogs.stop(&dialog, QCoreApplication::translate("mdk::CategoryController", "Name already used"), category::nameUsedMessage(name));
            return;
        case category::NameCheck::Empty:
            return; // refused without a word; the dialog stays open
        case category::NameCheck::Ok:
            apply(name);
            applied = true;
            dialog.accept();
            return;
        }
    });
    dialog.exec();
    return applied;
}

} // namespace

CategoryController::CategoryController(const CommandContext &context, QObject *parent)
    : CommandController(context, parent)
{
    bind(CM_NEWCATEGORY, &CategoryController::NewCategory);
    bind(CM_EDITCATEGORY, &CategoryController::EditCategory);
    bind(CM_DELETECATEGORY, &CategoryController::DeleteCategory);
    bind(CM_CLEARCATEGORY, &CategoryController::ClearCategory);
    bind(CM_VIEWSUBCATEGORIES, &CategoryController::ToggleShowSubCategories);
}

void CategoryController::NewCategory()
{
    const CategoryTree::NodeId parent = deck_.tree().selected();
    CategoryNameDlg dialog(CategoryNameDlg::Kind::New, QString(), window_);
    runNameDialog(dialog, deck_, dialogs_, [&](const QString &name) { category::newCategory(deck_, parent, name); });
}

void CategoryController::EditCategory()
{
    const CategoryTree::NodeId node = deck_.tree().selected();
    if (!deck_.tree().isValid(node) || node == deck_.tree().root())
        return;
    CategoryNameDlg dialog(CategoryNameDlg::Kind::Rename, deck_.tree().name(node), window_);
    runNameDialog(dialog, deck_, dialogs_, [&](const QString &name) {
        WaitCursor wait;
        category::renameCategory(deck_, node, name);
    });
}

void CategoryController::DeleteCategory()
{
    const CategoryTree::NodeId node = deck_.tree().selected();
    if (!deck_.tree().isValid(node) || node == deck_.tree().root())
        return;
    DeleteCategoryDlg dialog(deck_.tree().name(node), window_);
    if (dialog.exec() == QDialog::Accepted) {
        WaitCursor wait;
        category::deleteCategory(deck_, node);
    }
}

void CategoryController::ClearCategory()
{
    category::clearCategory(deck_);
    Q_EMIT statusMessage(tr("Category cleared"));
}

void CategoryController::ToggleShowSubCategories()
{
    WaitCursor wait;
    deck_.ToggleSubcategoryMode();
}

} // namespace mdk
