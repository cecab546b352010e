#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

namespace Ui {
class MergeDlg;
}

namespace mdk {

// The Merge Files dialog (template "MERGEFILES"): the sources in the order
// they were added (a name may be listed twice), the destination and "Load
// destination file after merge". The owner runs the merge on
// mergeRequested and either accepts the dialog or puts the reason on its
// message line, leaving it open.
class MergeDlg : public QDialog {
    Q_OBJECT
public:
    MergeDlg(const QString &newSource, const QString &destination, bool loadAfterMerge,
             QWidget *parent = nullptr);
    ~MergeDlg() override;

    QStringList sources() const;
    QString destination() const;
    bool loadAfterMerge() const;
    QString message() const;

    void setMessage(const QString &text);
    void setNewSource(const QString &name);
    void setDestination(const QString &name);

Q_SIGNALS:
    void mergeRequested();
    void sourceBrowseRequested();
    void destinationBrowseRequested();
    void helpRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Add();
    void Delete();

    std::unique_ptr<Ui::MergeDlg> ui_;
    QString message_;
};

} // namespace mdk
