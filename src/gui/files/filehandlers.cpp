// The main dialog's side of the file commands: the command handlers, the
// recent-file items of the File menu, and what the commands ask of the
// window (caption, status line, redraw, tree, card font).

#include "core/shell/commandids.h"
#include "gui/shell/mdkmaindlg.h"
#include "core/settings/recentfiles.h"
#include "gui/category/categorytreewidget.h"
#include "gui/files/filecommands.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidget>

namespace mdk {

class MainDlgFileHost : public FileHost {
public:
    explicit MainDlgFileHost(MDKMainDlg &dlg) : dlg_(dlg) {}

    void setCaption(const QString &caption) override { dlg_.setCaption(caption); }
    void ShowStatusMessage(const QString &text) override { dlg_.ShowStatusMessage(text); }
    void SetText() override { dlg_.SetText(); }
    void rebuildTree() override
    {
        dlg_.scrollposition = 0;
        dlg_.RefreshTree();
    }
    void expandTree() override { categorytreewidget::expand(*dlg_.categoriesTree()); }
    void UpdateFileMenu() override { dlg_.UpdateFileMenu(); }
    void applyCardFont() override
    {
        dlg_.ApplyCardFont();
        dlg_.SetText();
    }

private:
    MDKMainDlg &dlg_;
};

void MDKMainDlg::initFileCommands()
{
    fileHost_ = std::make_unique<MainDlgFileHost>(*this);
    files_ = std::make_unique<FileCommands>(deck, options, *dialogs_, *fileHost_, this);
}

const QString &MDKMainDlg::ProtectedFileName() const { return files_->ProtectedFileName; }
const QString &MDKMainDlg::ProtectedFilePath() const { return files_->ProtectedFilePath; }

void MDKMainDlg::CMFileNew() { files_->CMFileNew(); }
void MDKMainDlg::CMFileOpen() { files_->CMFileOpen(); }
void MDKMainDlg::RevertFile() { files_->RevertFile(); }
void MDKMainDlg::SaveCategory() { files_->SaveCategory(); }
void MDKMainDlg::ChangeFont() { files_->ChangeFont(); }
void MDKMainDlg::SaveFile() { files_->SaveFile(); }
void MDKMainDlg::SaveFileAs() { files_->SaveFileAs(); }
void MDKMainDlg::openRecentFile(int k) { files_->CMFile(k); }

void MDKMainDlg::CMFile1() { openRecentFile(1); }
void MDKMainDlg::CMFile2() { openRecentFile(2); }
void MDKMainDlg::CMFile3() { openRecentFile(3); }
void MDKMainDlg::CMFile4() { openRecentFile(4); }
void MDKMainDlg::CMFile5() { openRecentFile(5); }

QAction *MDKMainDlg::recentFileAction(int id) const
{
    for (QAction *a : recentItems_)
        if (!a->isSeparator() && a->data().toInt() == id)
            return a;
    return nullptr;
}

void MDKMainDlg::UpdateFileMenu()
{
    QMenu *file = menus_.value(int(Popup::File));
    if (!file)
        return;
    for (QAction *a : std::as_const(recentItems_)) {
        file->removeAction(a);
        a->deleteLater();
    }
    recentItems_.clear();

    const recent::FileMenu menu = recent::UpdateFileMenu(options.files);
    if (!menu.separators)
        return;
    // Just above "E&xit": separator 807, the items, separator 806.
    QAction *exit = actions_.value(CM_EXIT);
    auto addSeparator = [&](int id) {
        auto *sep = new QAction(this);
        sep->setSeparator(true);
        sep->setData(id);
        file->insertAction(exit, sep);
        recentItems_.append(sep);
    };
    addSeparator(recent::kSeparatorAboveId);
    static constexpr void (MDKMainDlg::*handlers[])() = {&MDKMainDlg::CMFile1, &MDKMainDlg::CMFile2,
                                                         &MDKMainDlg::CMFile3, &MDKMainDlg::CMFile4,
                                                         &MDKMainDlg::CMFile5};
    for (int i = 0; i < menu.items.size(); ++i) {
        auto *item = new QAction(menu.items[i], this);
        item->setData(recent::kFirstItemId + i);
        item->setStatusTip(recent::kItemHint);
        const auto handler = handlers[i];
        connect(item, &QAction::triggered, this, [this, handler] {
            if (deck.ShowSubCategories)
                return;
            (this->*handler)();
            updateCommands();
        });
        file->insertAction(exit, item);
        recentItems_.append(item);
    }
    addSeparator(recent::kSeparatorBelowId);
    enableRecentFiles();
}

void MDKMainDlg::enableRecentFiles()
{
    // NSPassEnable: not in subcategory mode.
    for (QAction *a : std::as_const(recentItems_))
        if (!a->isSeparator())
            a->setEnabled(!deck.ShowSubCategories);
}

} // namespace mdk
