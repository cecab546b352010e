#pragma once

#include "core/study/study.h"

#include <QDialog>

#include <memory>

namespace Ui {
class InfoDlg;
}

namespace mdk {

// The Information dialog (template "INFORMATION"): the open file's name and
// location, and the counts of cards, marks, deleted cards and categories.
class InfoDlg : public QDialog {
    Q_OBJECT
public:
    InfoDlg(const study::Information &info, QWidget *parent = nullptr);
    ~InfoDlg() override;

private:
    std::unique_ptr<Ui::InfoDlg> ui_;
};

} // namespace mdk
