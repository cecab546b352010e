#include "originalfile.h"

#include "cardfile.h"
#include "safewrite.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace mdk::originalfile {

QString templatesFolder()
{
    const QString home = QDir::homePath();
    const QString fallback = QDir(home).filePath(QStringLiteral("Templates"));
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-user-dir"));
    if (tool.isEmpty())
        return fallback;
    QProcess process;
    process.start(tool, {QStringLiteral("TEMPLATES")});
    if (!process.waitForStarted(5000) || !process.waitForFinished(5000)
        || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return fallback;
    const QString answer = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    if (answer.isEmpty() || QDir::cleanPath(answer) == QDir::cleanPath(home))
        return fallback;
    return answer;
}

bool CreateOriginalFile(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    const QString path = QDir(folder).filePath(kTemplateName);
    if (QFileInfo::exists(path))
        return false;
    return writeFileSafely(path, cardfile::emptyFile()).ok;
}

} // namespace mdk::originalfile
