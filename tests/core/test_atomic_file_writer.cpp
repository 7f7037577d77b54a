// The one writer every file goes through: whole or not at all, and an error
// that says why.

#include "model/AtomicFileWriter.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

class AtomicFileWriterTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FDir.isValid()); }
    QString Path(const char* name) const { return FDir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir FDir;
};

QByteArray Content(int size, char fill)
{
    return QByteArray(size, fill);
}

}

TEST_F(AtomicFileWriterTest, WritesAndReplaces)
{
    const QString path = Path("a.txt");
    ASSERT_TRUE(TAtomicFileWriter::WriteFile(path, "first"));
    ASSERT_TRUE(TAtomicFileWriter::WriteFile(path, "second\r\n"));
    EXPECT_EQ(ReadFile(path), QByteArray("second\r\n"));
    ASSERT_TRUE(TAtomicFileWriter::WriteFile(path, QByteArray()));
    EXPECT_EQ(ReadFile(path), QByteArray());
    EXPECT_EQ(FilesIn(FDir.path()), QStringList{QStringLiteral("a.txt")});
}

TEST_F(AtomicFileWriterTest, FullDiskKeepsTheOldFileAndSaysWhy)
{
    // Every way in: one call, pieces through Write, and a streaming writer
    // on Device() whose failed write shows at the commit.
    enum TWay { wWhole, wPieces, wDevice };
    for (const TWay way : {wWhole, wPieces, wDevice}) {
        for (const int size : {FullDiskSmallBytes, FullDiskLargeBytes}) {
            SCOPED_TRACE(testing::Message() << "way " << way << ", " << size << " bytes");
            const QString path = Path("keep.txt");
            const QByteArray before = Content(size / 3, 'o');
            WriteFile(path, before);
            const QByteArray after = Content(size, 'n');
            ExpectFullDiskKeepsTheFile(path, before, size, [&] {
                if (way == wWhole) {
                    QString error;
                    TAtomicFileWriter::WriteFile(path, after, &error);
                    return error;
                }
                TAtomicFileWriter file(path);
                EXPECT_TRUE(file.Open());
                for (qsizetype at = 0; at < after.size(); at += 1000) {
                    if (way == wPieces && !file.Write(after.mid(at, 1000)))
                        break;
                    if (way == wDevice)
                        file.Device()->write(after.mid(at, 1000));
                }
                EXPECT_FALSE(file.Commit());
                EXPECT_EQ(file.Reason().toStdString(), TFileSizeLimit::Reason().toStdString());
                return file.Error();
            });
        }
    }
}

TEST_F(AtomicFileWriterTest, ErrorsNameTheFileAndTheReason)
{
    QString error;
    EXPECT_FALSE(TAtomicFileWriter::WriteFile(Path("no/such/folder/x.txt"), "x", &error));
    EXPECT_EQ(error, QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(Path("no/such/folder/x.txt")));

    // A folder where the file should be cannot be replaced.
    ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("taken")));
    EXPECT_FALSE(TAtomicFileWriter::WriteFile(Path("taken"), "x", &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot ")) && error.contains(Path("taken"))) << qPrintable(error);
    EXPECT_FALSE(error.endsWith(QStringLiteral(". "))) << qPrintable(error);
    EXPECT_FALSE(error.contains(QStringLiteral("Unknown error"))) << qPrintable(error);
    EXPECT_TRUE(QFileInfo(Path("taken")).isDir());
    EXPECT_EQ(FilesIn(FDir.path()), QStringList());
}

TEST_F(AtomicFileWriterTest, UncommittedFileLeavesTheTargetAlone)
{
    const QString path = Path("t.txt");
    WriteFile(path, "old");
    {
        TAtomicFileWriter file(path);
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("new"));
        ASSERT_TRUE(file.Prepare());
        EXPECT_EQ(ReadFile(path), QByteArray("old"));
    }   // gone without a commit, as after a kill
    EXPECT_EQ(ReadFile(path), QByteArray("old"));
    EXPECT_EQ(FilesIn(FDir.path()), QStringList{QStringLiteral("t.txt")});
}

TEST_F(AtomicFileWriterTest, SetIsReplacedTogetherOrNotAtAll)
{
    const QString a = Path("pair.ssl"), b = Path("pair.msg");
    auto reset = [&] {
        WriteFile(a, "old script");
        WriteFile(b, "old messages");
    };
    auto expectOld = [&] {
        EXPECT_EQ(ReadFile(a), QByteArray("old script"));
        EXPECT_EQ(ReadFile(b), QByteArray("old messages"));
        EXPECT_EQ(FilesIn(FDir.path()), (QStringList{QStringLiteral("pair.msg"), QStringLiteral("pair.ssl")}));
    };

    // Both ready, then the program ends before the renames.
    reset();
    {
        TAtomicFileSet set;
        ASSERT_TRUE(set.Add(a, "new script"));
        ASSERT_TRUE(set.Add(b, "new messages"));
        expectOld();
    }
    expectOld();

    // The second file cannot be written: the first is not put in place.
    for (const int size : {FullDiskSmallBytes, FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        reset();
        TAtomicFileSet set;
        ASSERT_TRUE(set.Add(a, "new script"));
        QString error;
        {
            TFileSizeLimit full(rlim_t(size / 2));
            EXPECT_FALSE(set.Add(b, Content(size, 'm'), &error));
        }
        EXPECT_TRUE(error.endsWith(TFileSizeLimit::Reason())) << qPrintable(error);
        set.Cancel();
        expectOld();
    }

    // A rename that fails names the files left out.
    reset();
    {
        TAtomicFileSet set;
        ASSERT_TRUE(set.Add(a, "new script"));
        ASSERT_TRUE(set.Add(b, "new messages"));
        ASSERT_TRUE(QFile::remove(b) && QDir(FDir.path()).mkdir(QStringLiteral("pair.msg")));
        QString error;
        QStringList notWritten;
        EXPECT_FALSE(set.Commit(&error, &notWritten));
        EXPECT_EQ(notWritten, QStringList{b});
        EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot write file \"%1\". ").arg(b))) << qPrintable(error);
        EXPECT_FALSE(error.contains(QStringLiteral("Unknown error"))) << qPrintable(error);
        EXPECT_TRUE(set.IsEmpty());
        EXPECT_EQ(FilesIn(FDir.path()), QStringList{QStringLiteral("pair.ssl")});
        ASSERT_TRUE(QDir(FDir.path()).rmdir(QStringLiteral("pair.msg")));
    }

    // Committed: both new.
    reset();
    TAtomicFileSet set;
    ASSERT_TRUE(set.Add(a, "new script"));
    ASSERT_TRUE(set.Add(b, "new messages"));
    EXPECT_EQ(set.Paths(), (QStringList{a, b}));
    QString error;
    ASSERT_TRUE(set.Commit(&error)) << qPrintable(error);
    EXPECT_EQ(ReadFile(a), QByteArray("new script"));
    EXPECT_EQ(ReadFile(b), QByteArray("new messages"));
    EXPECT_TRUE(set.IsEmpty());
    EXPECT_EQ(FilesIn(FDir.path()), (QStringList{QStringLiteral("pair.msg"), QStringLiteral("pair.ssl")}));
}
