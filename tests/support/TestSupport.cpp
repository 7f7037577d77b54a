#include "tests/support/TestSupport.h"

#include "model/DialogueTypes.h"
#include "model/JsonText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <stdexcept>
#include <unistd.h>

namespace TestSupport {

QString DataPath(const QString& relative)
{
    return QStringLiteral(TALLOWIN_TEST_DATA_DIR "/") + relative;
}

QString DocumentText(const TDialogueProject& project)
{
    const TJsonValue json = project.ToJSON();
    TJsonValue stable = TJsonValue::Object();
    for (const auto& member : json.Members())
        if (member.first != QLatin1String("modifiedDate"))
            stable.Add(member.first, member.second);
    return JsonText::Compact(stable);
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + path.toStdString());
    f.write(bytes);
}

bool PermissionsEnforced() { return geteuid() != 0; }

QString RaisedError(const std::function<void()>& call)
{
    try {
        call();
    } catch (const EDialogueError& e) {
        return e.Message();
    }
    return QString();
}

QStringList FilesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QString TFileSizeLimit::Reason()
{
    return qt_error_string(EFBIG);
}

void ExpectFullDiskKeepsTheFile(const QString& path, const QByteArray& before, qint64 newSize,
                                const std::function<QString()>& write)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QStringList files = FilesIn(folder);
    ASSERT_GT(newSize, 1);
    QString error;
    {
        TFileSizeLimit full(rlim_t(newSize / 2));
        error = write();
    }
    EXPECT_FALSE(error.isEmpty()) << "the write reported success";
    EXPECT_TRUE(error.contains(TFileSizeLimit::Reason())) << qPrintable(error);
    EXPECT_FALSE(error.contains(QLatin1String("Unknown error"))) << qPrintable(error);
    EXPECT_EQ(ReadFile(path), before) << "the old file was not kept";
    EXPECT_EQ(FilesIn(folder), files) << "something was left beside the file";
}

}
