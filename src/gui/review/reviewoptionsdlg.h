#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class ReviewOptionsDlg;
}

namespace mdk {

// Card > Review options: how many new and at most how many due cards a
// round takes, which side asks, and the hour a new review day starts. The
// dialog gathers the values; the caller keeps them.
class ReviewOptionsDlg : public QDialog {
    Q_OBJECT
public:
    struct Values {
        int newCards = 20;
        int maxDue = 200;
        int direction = 0;
        int dayStartHour = 4;
    };

    explicit ReviewOptionsDlg(const Values &values, QWidget *parent = nullptr);
    ~ReviewOptionsDlg() override;

    Values values() const;

private:
    std::unique_ptr<Ui::ReviewOptionsDlg> ui_;
};

} // namespace mdk
