#pragma once

#include <QDateTime>
#include <QDialog>
#include <QList>

#include <memory>

namespace Ui {
class EarlierVersionsDlg;
}

namespace mdk {

// The Earlier versions dialog: the kept versions of the open file, newest
// first, with date, time, card count and size. Restore hands the chosen
// one back.
class EarlierVersionsDlg : public QDialog {
    Q_OBJECT
public:
    struct Row {
        QDateTime time;
        qint64 cards = -1; // -1: not known
        qint64 size = 0;
    };

    explicit EarlierVersionsDlg(const QList<Row> &rows, QWidget *parent = nullptr);
    ~EarlierVersionsDlg() override;

    // The row chosen, -1 when none.
    int chosen() const;

private:
    std::unique_ptr<Ui::EarlierVersionsDlg> ui_;
};

} // namespace mdk
