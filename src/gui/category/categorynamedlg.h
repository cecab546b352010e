#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class CategoryNameDlg;
}

namespace mdk {

// The name dialogs of the category commands (templates "NewCategory" and
// "EditCategory", the same four controls). The dialog only gathers the
// name: the caller cleans and checks it, then accept()s or keeps the
// dialog open.
class CategoryNameDlg : public QDialog {
    Q_OBJECT
public:
    enum class Kind { New, Rename };

    // name: the old name, shown in the field for Rename.
    CategoryNameDlg(Kind kind, const QString &name, QWidget *parent = nullptr);
    ~CategoryNameDlg() override;

    // The field's text as typed. The field takes at most 999 characters and
    // shows the count against that limit; an old name longer than that (from
    // a file) is shown cut, and while the field still shows it so, the old
    // name comes back whole: Ok never shortens a name the user left alone.
    QString name() const;

Q_SIGNALS:
    // "Ok" or Enter.
    void okRequested();

private:
    void showLength();

    std::unique_ptr<Ui::CategoryNameDlg> ui_;
    QString oldName_;
};

} // namespace mdk
