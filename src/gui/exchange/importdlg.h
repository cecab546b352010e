#pragma once

#include "core/deck/categorytree.h"
#include "core/exchange/exchange.h"

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class ImportDlg;
}

namespace mdk {

// What the Import dialog gathered: how to read the file, where the cards
// go and what to do with a side 1 that is already there.
struct ImportChoice {
    exchange::ImportOptions options;
    QString target;
    exchange::Duplicates duplicates = exchange::Duplicates::Add;
};

// The Import dialog: format, encoding, delimiter, header, columns, target
// category and duplicates, with a live preview of the first cards as they
// will be imported (it reads only the start of the file).
class ImportDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewCards = 20;

    ImportDlg(const QString &path, const CategoryTree &tree, const QString &selected, QWidget *parent = nullptr);
    ~ImportDlg() override;

    ImportChoice choice() const;

private:
    void updatePreview();

    std::unique_ptr<Ui::ImportDlg> ui_;
    QString path_;
    // The category column follows the header until the user picks one.
    bool categoryFromHeader_ = true;
    bool updating_ = false;
};

} // namespace mdk
