#pragma once

#include "core/search/search.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <memory>

class QLabel;
class QLineEdit;

namespace Ui {
class SearchDlg;
}

namespace mdk {

// The Search dialog (template "SEARCH"). It gathers the search text, the
// two match options and the duplicate boxes, and shows the statistics the
// caller feeds it while it searches; the rules are in the core.
class SearchDlg : public QDialog {
    Q_OBJECT
public:
    // startCard and totalCards count from 1. Without duplicatesAllowed both
    // duplicate boxes are disabled.
    SearchDlg(const QString &lastSearch, search::Options options, int totalCards, int startCard,
              bool duplicatesAllowed, QWidget *parent = nullptr);
    ~SearchDlg() override;

    // The field's whole text; the caller cuts it to the searched length.
    QString searchText() const;
    // The two boxes as they stand now.
    search::Options options() const;
    bool deleteDuplicatesOnSide1() const;
    bool deleteDuplicatesOnSide2() const;
    // Where the character palette inserts.
    QLineEdit *searchEdit() const;

    // The statistics. They are painted at once, since the caller runs its
    // search without returning to the event loop; the scanning counter is
    // painted at most every kScanPaintInterval ms and shows its last value
    // as soon as the event loop runs again.
    void setScanning(int cardNumber);
    void setSearchingFor(const QString &text);
    void setTotalCards(int n);

    static constexpr int kScanPaintInterval = 50;

Q_SIGNALS:
    // "Begin search"; the caller accept()s when the search ends the dialog.
    void beginSearchRequested();
    void extendedCharsRequested();
    void helpRequested();

private:
    void paintScanning();

    std::unique_ptr<Ui::SearchDlg> ui_;
    int scanning_ = 0;
    unsigned scanCalls_ = 0;
    QElapsedTimer lastScanPaint_;
    QTimer scanFlush_; // shows the last counter value once the event loop runs
};

} // namespace mdk
