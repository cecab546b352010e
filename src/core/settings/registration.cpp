#include "registration.h"

#include "core/appinfo.h"
#include "core/settings/settingsstore.h"
#include "core/deck/safewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace mdk::registration {

namespace {

const QString kExtensionKey = QStringLiteral(".mdk");
const QString kShellNewKey = QStringLiteral(".mdk\\ShellNew");
const QString kDefaultIconKey = QStringLiteral("mdkfile\\DefaultIcon");
const QString kShellKey = QStringLiteral("mdkfile\\Shell");
const QString kCommandKey = QStringLiteral("mdkfile\\Shell\\Open\\command");
using appinfo::kTemplateName;
const QString kDefault; // a key's unnamed value

// Writes data unless the file already holds exactly it, so that an
// unchanged registration touches nothing. True when the file was written.
bool writeIfDifferent(const QString &path, const QByteArray &data)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == data)
        return false;
    existing.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeFileSafely(path, data).ok;
}

// A desktop entry's Exec program: quoted when it holds a character the
// entry format reserves; inside quotes ", `, $ and \ are escaped, and every
// backslash is doubled once more by the entry's string escaping. A literal
// percent sign is written twice.
QString execArgument(const QString &path)
{
    QString program = path;
    program.replace(QLatin1String("%"), QLatin1String("%%")); // field codes start with %
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (QChar c : program)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return program;
    QString quoted;
    for (QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')
            || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void runTool(const QString &tool, const QString &argument)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, {argument});
    if (process.waitForStarted(5000))
        process.waitForFinished(20000);
}

} // namespace

Commands buildCommands(const QString &programPath)
{
    QString prefix;
    const QString dir = QFileInfo(programPath).absolutePath();
    QFile program(QDir(dir).filePath(kProgramFile));
    if (!programPath.isEmpty() && program.open(QIODevice::ReadOnly))
        prefix = QDir(dir).absolutePath() + QLatin1Char('/');
    Commands c;
    c.open = prefix + kProgramFile + QStringLiteral(" \"%1\"");
    c.extensionHandler = prefix + kProgramFile + QStringLiteral(" ^MDK");
    c.defaultIcon = prefix + kProgramFile + QStringLiteral(",1");
    c.executable = prefix + kProgramFile;
    return c;
}

QByteArray mimePackage()
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"%1\">\n"
               "    <comment>%2</comment>\n"
               "    <icon name=\"%3\"/>\n"
               "    <glob pattern=\"*.mdk\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(kMimeType, kDescription, kIconName)
        .toUtf8();
}

QByteArray desktopEntry(const QString &executable)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Mnemodeck\n"
                          "GenericName=Study cards\n"
                          "Comment=Learn with two-sided study cards\n"
                          "Exec=%1 %f\n"
                          "Icon=%2\n"
                          "Terminal=false\n"
                          "Categories=Education;\n"
                          "MimeType=%3;\n")
        .arg(execArgument(executable), kIconName, kMimeType)
        .toUtf8();
}

Outcome RegisterProgram(SettingsStore &store, const Setup &setup)
{
    const Commands commands = buildCommands(setup.programPath);
    const QDir data(setup.dataHome);
    Outcome outcome;

    if (!store.RetrieveSettings(kExtensionKey, kDefault)) {
        store.SetRegInfo(kExtensionKey, kDefault, kDocumentClass);
        store.SetRegInfo(kShellNewKey, QStringLiteral("FileName"), kTemplateName);
        outcome.mimePackageWritten =
            writeIfDifferent(data.filePath(QStringLiteral("mime/packages/") + kMimePackageName),
                             mimePackage());
    }

    auto writeOpenCommand = [&] {
        store.SetRegInfo(kDocumentClass, kDefault, kDescription);
        store.SetRegInfo(kShellKey, kDefault, QString());
        // The key Shell\Open carries no value; an INI group exists only
        // through its values, so the command below stands for both.
        store.SetRegInfo(kCommandKey, kDefault, commands.open);
        outcome.desktopEntryWritten =
            writeIfDifferent(data.filePath(QStringLiteral("applications/") + kDesktopFileName),
                             desktopEntry(commands.executable));
    };
    if (!store.RetrieveSettings(kDocumentClass, kDefault)) {
        writeOpenCommand();
        store.SetRegInfo(kDefaultIconKey, kDefault, commands.defaultIcon);
        for (const Icon &icon : setup.icons) {
            const QString path = data.filePath(QStringLiteral("icons/hicolor/%1x%1/apps/").arg(icon.size)
                                               + kIconName + QStringLiteral(".png"));
            outcome.iconsWritten = writeIfDifferent(path, icon.png) || outcome.iconsWritten;
        }
    } else if (!store.RegString().contains(kProgramFile)) {
        // The description is "Card file", which never names the program, so
        // this runs on every start and keeps the command pointing at the
        // program's present location.
        writeOpenCommand();
    }

    if (!store.RetrieveInfo(kExtensionsKey, QStringLiteral("MDK")))
        store.SetInfo(kExtensionsKey, QStringLiteral("MDK"), commands.extensionHandler);

    store.sync();

    if (setup.runUpdateTools) {
        if (outcome.mimePackageWritten)
            runTool(QStringLiteral("update-mime-database"), data.filePath(QStringLiteral("mime")));
        if (outcome.desktopEntryWritten)
            runTool(QStringLiteral("update-desktop-database"),
                    data.filePath(QStringLiteral("applications")));
    }
    return outcome;
}

} // namespace mdk::registration
