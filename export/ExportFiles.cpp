#include "export/ExportFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace ExportFiles {
namespace {

bool IsDelimiter(QChar c)
{
#ifdef Q_OS_WIN
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
#else
    return c == QLatin1Char('/');
#endif
}

qsizetype LastDelimiter(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (IsDelimiter(path[i]))
            return i;
    return -1;
}

} // namespace

QString DirectoryPart(const QString& path)
{
    return path.left(LastDelimiter(path) + 1);
}

QString LastComponent(const QString& path)
{
    return path.mid(LastDelimiter(path) + 1);
}

bool IsFolderPath(const QString& path)
{
    if (path.isEmpty())
        return false;
    if (IsDelimiter(path.back()))
        return true;
    return QFileInfo(path).isDir();
}

QString ChangeFileExt(const QString& path, const QString& extension)
{
    const qsizetype start = LastDelimiter(path) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot >= start)
        return path.left(dot) + extension;
    return path + extension;
}

QString WithTrailingDelimiter(const QString& folder)
{
    if (!folder.isEmpty() && IsDelimiter(folder.back()))
        return folder;
    return folder + QLatin1Char('/');
}

bool EnsureFolder(const QString& folder, QString* error)
{
    if (folder.isEmpty())
        return true;
    const QFileInfo info(folder);
    if (info.isDir())
        return true;
    if (QDir().mkpath(folder))
        return true;
    if (error)
        *error = QStringLiteral("Cannot create folder \"%1\"").arg(folder);
    return false;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (path.isEmpty() || LastComponent(path).isEmpty())
        return fail(QStringLiteral("No file name given"));
    if (!EnsureFolder(DirectoryPart(path), error))
        return false;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    // A full disk shows only in the flush: commit() alone can rename a
    // truncated temporary file over the target and still report success.
    // An uncommitted QSaveFile removes its temporary file when it goes away.
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
    if (!file.commit())
        return fail(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
    return true;
}

QString JoinLines(const QStringList& lines)
{
    qsizetype total = 0;
    for (const QString& line : lines)
        total += line.size() + 2;
    QString text;
    text.reserve(total);
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

}
