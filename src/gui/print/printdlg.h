#pragma once

#include <QDialog>

#include <memory>

class QButtonGroup;

namespace Ui {
class PrintDialog;
}

namespace mdk {

// The "Print cards" dialog (template "PrintDlg"): the format, which cards,
// and whether the system print dialog comes first. It only gathers the
// choices; the caller prints on OK, and answers Help, "Printer setup..."
// and "Preview..." while the dialog stays open.
class PrintDialog : public QDialog {
    Q_OBJECT
public:
    // scope: 0 all cards, 1 this category, 2 this category and its
    // sub-categories (all cards for any other value). "Cards in this
    // category" takes a click only when viewHasCards, "...and
    // sub-categories" only when haveFoundCards; otherwise the click is
    // ignored and the previous choice stays.
    PrintDialog(bool cardFormat, int scope, bool confirm, bool viewHasCards, bool haveFoundCards,
                QWidget *parent = nullptr);
    ~PrintDialog() override;

    bool cardFormat() const;
    int scope() const;
    bool confirm() const;

Q_SIGNALS:
    void helpRequested();
    void printerSetupRequested();
    void previewRequested();

private:
    std::unique_ptr<Ui::PrintDialog> ui_;
    QButtonGroup *formats_;
    QButtonGroup *scopes_;
    int scope_;
    bool viewHasCards_;
    bool haveFoundCards_;
};

} // namespace mdk
