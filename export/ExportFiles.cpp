#include "export/ExportFiles.h"

#include "model/AtomicFileWriter.h"

#include <QDir>
#include <QFileInfo>

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

QString BaseNameWithoutExtension(const QString& path)
{
    const QString name = LastComponent(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
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

bool PrepareTarget(const QString& path, QString* error)
{
    if (path.isEmpty() || LastComponent(path).isEmpty()) {
        if (error)
            *error = QStringLiteral("No file name given");
        return false;
    }
    return EnsureFolder(DirectoryPart(path), error);
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    if (!PrepareTarget(path, error))
        return false;
    return TAtomicFileWriter::WriteFile(path, bytes, error);
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
