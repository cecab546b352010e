#include "converter.h"

#include "core/deck/cardfile.h"
#include "core/deck/filenames.h"
#include "core/deck/openfile.h"
#include "core/settings/helpfile.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/files/convertfiledlg.h"

#include <QDir>
#include <QFileInfo>

namespace mdk {

Converter::Converter(UserDialogs &dialogs, OpenFile &open, QObject *parent)
    : QObject(parent), dialogs_(dialogs), open_(open)
{
}

bool Converter::ConvertIfNecessary(const QString &path, QWidget *owner)
{
    if (cardfile::testFormatOfFile(path) != cardfile::Format::Earlier)
        return true;
    if (!dialogs_.ask(owner, conversion::kAutoConvert, conversion::question(QFileInfo(path).fileName()))) {
        dialogs_.stop(owner, conversion::kAutoConvert, conversion::kRefused);
        return false;
    }
    const std::optional<Choice> choice = askConversion(owner, path);
    if (!choice || !convert(owner, choice->path, choice->version))
        return false;
    // The user may have named another file in the dialog: this one is read
    // only when it is now current.
    return cardfile::testFormatOfFile(path) == cardfile::Format::Current;
}

std::optional<Converter::Choice> Converter::askConversion(QWidget *owner, const QString &fileName)
{
    ConvertFileDlg dialog(conversion::versionNames(), fileName, loadafterconvert, owner);
    connect(&dialog, &ConvertFileDlg::browseRequested, &dialog, [&] {
        const QString start =
            lastBrowsed_.isEmpty() ? open_.currentDirectory : QDir(open_.currentDirectory).filePath(lastBrowsed_);
        const QString chosen = dialogs_.openFileName(&dialog, tr("Convert File"), start);
        if (chosen.isEmpty())
            return;
        // The whole path goes into the edit, so that the folder the
        // dialog was in is the one converted.
        open_.currentDirectory = QFileInfo(chosen).absolutePath();
        lastBrowsed_ = QFileInfo(chosen).fileName();
        dialog.setFileName(chosen);
    });
    connect(&dialog, &ConvertFileDlg::helpRequested, this,
            [this, &dialog] { Q_EMIT helpRequested(help::Convert, &dialog); });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    loadafterconvert = dialog.loadAfterConvert();
    QString name = dialog.fileName();
    if (!QFileInfo(name).fileName().contains(QLatin1Char('.')))
        name += QStringLiteral(".MDK");
    return Choice{names::resolve(name, open_.currentDirectory), conversion::Version(dialog.version())};
}

bool Converter::convert(QWidget *owner, const QString &path, conversion::Version version)
{
    conversion::Result result;
    {
        WaitCursor wait;
        result = conversion::convertFile(path, version);
    }
    switch (result.status) {
    case conversion::Result::Status::Converted:
        return true;
    case conversion::Result::Status::AlreadyCurrent:
        dialogs_.stop(owner, conversion::kAutoConvert, conversion::kAlreadyCurrent);
        return false;
    case conversion::Result::Status::CannotAccess:
        dialogs_.stop(owner, conversion::kConvertCaption, conversion::kCannotAccess);
        return false;
    case conversion::Result::Status::Failed:
        break;
    }
    dialogs_.stop(owner, conversion::kConvertCaption,
                  result.error.isEmpty() ? conversion::kCannotAccess : result.error);
    return false;
}

} // namespace mdk
