#include "project/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

namespace {

QString& BaseDirOverride()
{
    static QString dir;
    return dir;
}

QString ExecutablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

bool IsWritableDir(const QString& dir)
{
    QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

QString UserConfigDir()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.config/Tallowin");
    QDir().mkpath(dir);
    return dir;
}

}

namespace AppPaths {

QString ExecutableDir()
{
    if (!BaseDirOverride().isEmpty())
        return BaseDirOverride();
    return QFileInfo(ExecutablePath()).absolutePath();
}

QString ExecutableBaseName()
{
    const QString base = QFileInfo(ExecutablePath()).completeBaseName();
    return base.isEmpty() ? QStringLiteral("Tallowin") : base;
}

QString BesideExecutable(const QString& fileName)
{
    const QString exeDir = ExecutableDir();
    if (IsWritableDir(exeDir))
        return QDir(exeDir).filePath(fileName);
    static bool logged = false;
    const QString dir = UserConfigDir();
    if (!logged) {
        logged = true;
        qInfo("Program folder %s is not writable; keeping settings and recent files in %s",
              qPrintable(QDir::toNativeSeparators(exeDir)), qPrintable(QDir::toNativeSeparators(dir)));
    }
    return QDir(dir).filePath(fileName);
}

void SetBaseDirOverride(const QString& dir) { BaseDirOverride() = dir; }

}
