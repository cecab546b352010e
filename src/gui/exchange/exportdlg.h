#pragma once

#include "core/exchange/exchange.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ExportDlg;
}

namespace mdk {

struct ExportChoice {
    exchange::Scope scope = exchange::Scope::All;
    exchange::ExportFormat format = exchange::ExportFormat::Csv;
};

// The Export dialog: the open category, with its sub-categories, or all
// cards; CSV, tab-separated text or a KDE vocabulary document.
class ExportDlg : public QDialog {
    Q_OBJECT
public:
    explicit ExportDlg(const ExportChoice &start, QWidget *parent = nullptr);
    ~ExportDlg() override;

    ExportChoice choice() const;

private:
    std::unique_ptr<Ui::ExportDlg> ui_;
};

} // namespace mdk
