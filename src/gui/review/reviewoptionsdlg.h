#pragma once

#include "core/review/fsrs.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ReviewOptionsDlg;
}

namespace mdk {

// Card > Review options: how many new and at most how many due cards a
// round takes, which side asks, the hour a new review day starts, the
// scheduler and the memory model's settings and parameters. The dialog
// gathers the values; the caller keeps them, and fits the parameters when
// "Optimise" is asked for (setFitted shows the outcome).
class ReviewOptionsDlg : public QDialog {
    Q_OBJECT
public:
    struct Values {
        int newCards = 20;
        int maxDue = 200;
        int direction = 0;
        int dayStartHour = 4;
        int scheduler = 0; // 0 the memory model, 1 Leitner boxes
        bool twoButtons = false;
        double retention = 0.9;
        int maximumInterval = 36500;
        review::fsrs::Parameters parameters = review::fsrs::defaultParameters();
    };

    explicit ReviewOptionsDlg(const Values &values, QWidget *parent = nullptr);
    ~ReviewOptionsDlg() override;

    Values values() const;
    // Fitted parameters (taken when the dialog is accepted) and what the
    // fit achieved; without parameters, only the text (too few reviews).
    void setFitted(const review::fsrs::Parameters *parameters, const QString &report);

Q_SIGNALS:
    void optimiseRequested();

private:
    void showParameters();
    void schedulerChosen();

    std::unique_ptr<Ui::ReviewOptionsDlg> ui_;
    review::fsrs::Parameters parameters_ = review::fsrs::defaultParameters();
};

} // namespace mdk
