#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class DeleteCategoryDlg;
}

namespace mdk {

// The Delete category confirmation (template "DeleteCategory"): "&Yes"
// accepts, "&No", Escape and the close box reject.
class DeleteCategoryDlg : public QDialog {
    Q_OBJECT
public:
    explicit DeleteCategoryDlg(const QString &name, QWidget *parent = nullptr);
    ~DeleteCategoryDlg() override;

private:
    std::unique_ptr<Ui::DeleteCategoryDlg> ui_;
};

} // namespace mdk
