#pragma once

#include "core/deck/conversion.h"

#include <QObject>
#include <QString>

#include <optional>

class QWidget;

namespace mdk {

struct OpenFile;
class UserDialogs;

// The format test with the conversion question that runs before every
// read of a card file, and the Convert File dialog and conversion that the
// Convert command shares with it. Its boxes and dialogs belong to the
// owner each call names: the main window, or the merge dialog while it is
// open. A conversion run from here never loads the file; the caller that
// asked reads it when it now tests current.
class Converter : public QObject {
    Q_OBJECT
public:
    Converter(UserDialogs &dialogs, OpenFile &open, QObject *parent = nullptr);

    // True when path may be read now: a current card file, or one that is
    // not there or cannot be opened (the read reports that). A file of an
    // earlier layout is offered for conversion: No refuses with a stop box,
    // cancelling the Convert File dialog reads nothing without a word, and
    // a failed conversion shows why. Only a file that tests current after
    // the conversion is read.
    bool ConvertIfNecessary(const QString &path, QWidget *owner);

    struct Choice {
        QString path; // resolved: ".MDK" added without a dot, relative to the current folder
        conversion::Version version = conversion::Version::V100;
    };
    // The Convert File dialog with fileName filled in; nothing when it is
    // cancelled. OK also keeps "Load after convert" for the run.
    std::optional<Choice> askConversion(QWidget *owner, const QString &fileName);
    // Converts path as written by version, under the wait cursor. A current
    // file, one that cannot be read, or a failed write shows its stop box
    // and returns false; the file is then as it was.
    bool convert(QWidget *owner, const QString &path, conversion::Version version);

    // "Load after convert": on at each start of the program, not stored.
    bool loadafterconvert = true;

Q_SIGNALS:
    // The Convert File dialog's Help button.
    void helpRequested(int topic, QWidget *owner);

private:
    UserDialogs &dialogs_;
    OpenFile &open_;
    QString lastBrowsed_;
};

} // namespace mdk
