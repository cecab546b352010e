#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class CopyDlg;
}

namespace mdk {

// The Copy to File Destination dialog (template "COPYOPTIONS"): the file
// Copy to File appends to. Only "Save changes" hands a name back; Escape
// or closing keeps the old destination. F1 asks for its help topic.
class CopyDlg : public QDialog {
    Q_OBJECT
public:
    explicit CopyDlg(const QString &destination, QWidget *parent = nullptr);
    ~CopyDlg() override;

    QString destination() const;
    void setDestination(const QString &name);

Q_SIGNALS:
    void browseRequested();
    void helpRequested();

private:
    std::unique_ptr<Ui::CopyDlg> ui_;
};

} // namespace mdk
