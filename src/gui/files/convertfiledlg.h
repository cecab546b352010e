#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

namespace Ui {
class ConvertFileDlg;
}

namespace mdk {

// The Convert File dialog (template "CONVERTFILE"): the file to convert,
// the layout it was written in (the user names it: the program cannot tell
// the earlier layouts apart) and "Load after convert". It only gathers the
// choice; Browse and Help are the owner's.
class ConvertFileDlg : public QDialog {
    Q_OBJECT
public:
    // versions: the names of the earlier layouts, in list order; the first
    // is selected.
    ConvertFileDlg(const QStringList &versions, const QString &fileName, bool loadAfterConvert,
                   QWidget *parent = nullptr);
    ~ConvertFileDlg() override;

    QString fileName() const;
    void setFileName(const QString &name);
    // The index of the chosen layout in versions.
    int version() const;
    bool loadAfterConvert() const;

Q_SIGNALS:
    void browseRequested();
    void helpRequested();

private:
    std::unique_ptr<Ui::ConvertFileDlg> ui_;
};

} // namespace mdk
