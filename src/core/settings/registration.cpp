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

// What earlier versions wrote, so that their copies count as our own.
const QByteArray kEarlierDesktopEntry = "[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Mnemodeck\n"
                                        "GenericName=Study cards\n"
                                        "Comment=Learn with two-sided study cards\n"
                                        "Exec=mdeck43 %f\n"
                                        "Icon=mnemodeck\n"
                                        "Terminal=false\n"
                                        "Categories=Education;\n"
                                        "MimeType=application/x-mnemodeck-card-file;\n";
const QByteArray kEarlierMimePackage = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                                       "  <mime-type type=\"application/x-mnemodeck-card-file\">\n"
                                       "    <comment>Card file</comment>\n"
                                       "    <icon name=\"mnemodeck\"/>\n"
                                       "    <glob pattern=\"*.mdk\"/>\n"
                                       "  </mime-type>\n"
                                       "</mime-info>\n";

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The program a desktop entry of ours runs: its TryExec, or for an earlier
// entry the first word of Exec (those were written unquoted or in quotes).
QString entryProgram(const QByteArray &entry)
{
    for (const QByteArray &line : entry.split('\n')) {
        if (line.startsWith("TryExec="))
            return QString::fromUtf8(line.mid(8)).replace(QLatin1String("\\\\"), QLatin1String("\\"));
    }
    for (const QByteArray &line : entry.split('\n')) {
        if (!line.startsWith("Exec="))
            continue;
        QByteArray exec = line.mid(5);
        exec.chop(3); // " %f"
        if (exec.startsWith('"') && exec.endsWith('"')) {
            exec = exec.mid(1, exec.size() - 2).replace("\\\\", "\\");
            QByteArray plain;
            for (qsizetype i = 0; i < exec.size(); ++i) {
                if (exec[i] == '\\' && i + 1 < exec.size())
                    ++i;
                plain += exec[i];
            }
            exec = plain;
        }
        return QString::fromUtf8(exec).replace(QLatin1String("%%"), QLatin1String("%"));
    }
    return {};
}

bool programExists(const QString &program)
{
    if (program.contains(QLatin1Char('/')))
        return QFileInfo::exists(program);
    return !QStandardPaths::findExecutable(program).isEmpty();
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

QStringList standardSystemDataDirs()
{
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share/:/usr/share/");
    return dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

bool installedSystemWide(const QStringList &dirs)
{
    for (const QString &dir : dirs)
        if (QFileInfo(QDir(dir).filePath(QStringLiteral("applications/") + kDesktopFileName)).isFile())
            return true;
    return false;
}

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
               "    <comment xml:lang=\"de\">Kartendatei</comment>\n"
               "    <icon name=\"%3\"/>\n"
               "    <glob pattern=\"*.mdk\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(kMimeType, kDescription, kIconName)
        .toUtf8();
}

QByteArray desktopEntry(const QString &executable)
{
    // TryExec hides the entry once the program is gone; it is a plain
    // string, whose only escape a path needs is the backslash.
    QString tryExec = executable;
    tryExec.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Mnemodeck\n"
                          "Name[de]=Mnemodeck\n"
                          "GenericName=Study cards\n"
                          "GenericName[de]=Lernkarten\n"
                          "Comment=Learn with two-sided study cards\n"
                          "Comment[de]=Mit zweiseitigen Lernkarten lernen\n"
                          "Keywords=flashcards;vocabulary;learning;study;cards;\n"
                          "Keywords[de]=Karteikarten;Vokabeln;Lernen;Lernkarten;\n"
                          "TryExec=%4\n"
                          "Exec=%1 %f\n"
                          "Icon=%2\n"
                          "Terminal=false\n"
                          "Categories=Education;\n"
                          "MimeType=%3;\n")
        .arg(execArgument(executable), kIconName, kMimeType, tryExec)
        .toUtf8();
}

bool isOwnDesktopEntry(const QByteArray &entry)
{
    // The program's lines are the same for every location: compare without them.
    const auto withoutProgram = [](const QByteArray &text) {
        QList<QByteArray> lines = text.split('\n');
        lines.removeIf([](const QByteArray &line) {
            return line.startsWith("Exec=") || line.startsWith("TryExec=");
        });
        return lines;
    };
    const auto mine = withoutProgram(entry);
    return !entry.isEmpty()
        && (mine == withoutProgram(desktopEntry(kProgramFile)) || mine == withoutProgram(kEarlierDesktopEntry));
}

Outcome RegisterProgram(SettingsStore &store, const Setup &setup)
{
    const Commands commands = buildCommands(setup.programPath);
    const QDir data(setup.dataHome);
    const QString entryPath = data.filePath(QStringLiteral("applications/") + kDesktopFileName);
    const QString mimePath = data.filePath(QStringLiteral("mime/packages/") + kMimePackageName);
    const auto iconPath = [&](int size) {
        return data.filePath(QStringLiteral("icons/hicolor/%1x%1/apps/").arg(size) + kIconName
                             + QStringLiteral(".png"));
    };
    const bool systemWide = installedSystemWide(setup.systemDataDirs);
    Outcome outcome;

    // Our own copies go when the system's entry is there or ours names a
    // program that is gone; a file the user made or changed stays.
    const QByteArray oldEntry = contents(entryPath);
    const bool ownEntry = isOwnDesktopEntry(oldEntry);
    if (systemWide || (ownEntry && !programExists(entryProgram(oldEntry)))) {
        bool removed = false;
        if (ownEntry)
            removed = QFile::remove(entryPath) || removed;
        const QByteArray mime = contents(mimePath);
        if (mime == mimePackage() || mime == kEarlierMimePackage)
            removed = QFile::remove(mimePath) || removed;
        for (const Icon &icon : setup.icons)
            if (!icon.png.isEmpty() && contents(iconPath(icon.size)) == icon.png)
                removed = QFile::remove(iconPath(icon.size)) || removed;
        outcome.ownCopiesRemoved = removed;
    }

    if (!store.RetrieveSettings(kExtensionKey, kDefault)) {
        store.SetRegInfo(kExtensionKey, kDefault, kDocumentClass);
        store.SetRegInfo(kShellNewKey, QStringLiteral("FileName"), kTemplateName);
    }
    // The MIME package goes with the extension's class: ours only.
    if (!systemWide && store.RetrieveSettings(kExtensionKey, kDefault) && store.RegString() == kDocumentClass)
        outcome.mimePackageWritten = writeIfDifferent(mimePath, mimePackage());

    auto writeOpenCommand = [&] {
        store.SetRegInfo(kDocumentClass, kDefault, kDescription);
        store.SetRegInfo(kShellKey, kDefault, QString());
        // The key Shell\Open carries no value; an INI group exists only
        // through its values, so the command below stands for both.
        store.SetRegInfo(kCommandKey, kDefault, commands.open);
        // An entry the user made stays as it is.
        const QByteArray entry = contents(entryPath);
        if (!systemWide && (entry.isEmpty() || isOwnDesktopEntry(entry)))
            outcome.desktopEntryWritten = writeIfDifferent(entryPath, desktopEntry(commands.executable));
    };
    if (!store.RetrieveSettings(kDocumentClass, kDefault)) {
        writeOpenCommand();
        store.SetRegInfo(kDefaultIconKey, kDefault, commands.defaultIcon);
        for (const Icon &icon : setup.icons)
            if (!systemWide)
                outcome.iconsWritten = writeIfDifferent(iconPath(icon.size), icon.png) || outcome.iconsWritten;
    } else {
        if (!store.RegString().contains(kProgramFile)) {
            // The description is "Card file", which never names the program, so
            // this runs on every start and keeps the command pointing at the
            // program's present location.
            writeOpenCommand();
        }
        // Icons removed while the program was installed come back; one the
        // user put there stays.
        for (const Icon &icon : setup.icons)
            if (!systemWide && !QFileInfo::exists(iconPath(icon.size)))
                outcome.iconsWritten = writeIfDifferent(iconPath(icon.size), icon.png) || outcome.iconsWritten;
    }

    if (!store.RetrieveInfo(kExtensionsKey, QStringLiteral("MDK")))
        store.SetInfo(kExtensionsKey, QStringLiteral("MDK"), commands.extensionHandler);

    store.sync();

    if (setup.runUpdateTools) {
        if (outcome.mimePackageWritten || outcome.ownCopiesRemoved)
            runTool(QStringLiteral("update-mime-database"), data.filePath(QStringLiteral("mime")));
        if (outcome.desktopEntryWritten || outcome.ownCopiesRemoved)
            runTool(QStringLiteral("update-desktop-database"),
                    data.filePath(QStringLiteral("applications")));
    }
    return outcome;
}

} // namespace mdk::registration
