// The roundtrip console program, run as a process in a temporary folder.

#include "interchange/FMFExporter.h"
#include "interchange/FMFImporter.h"
#include "model/TextEncoding.h"
#include "tests/core/test_fmf_generator.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString ProgramPath()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../roundtrip/roundtrip"));
}

struct TRun {
    int ExitCode = -1;
    QStringList Lines;
};

class RoundtripProgram : public testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(ProgramPath()).isExecutable())
            GTEST_SKIP() << "roundtrip program not built at " << qPrintable(ProgramPath())
                         << " (build the roundtrip target before running this test)";
        ASSERT_TRUE(FDir.isValid());
    }

    // With `fileSizeLimit`, the program runs as on a disk that fills up
    // after that many bytes of any one file.
    TRun Run(rlim_t fileSizeLimit = RLIM_INFINITY)
    {
        QProcess process;
        process.setWorkingDirectory(FDir.path());
        if (fileSizeLimit != RLIM_INFINITY)
            process.setChildProcessModifier([fileSizeLimit] {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
            });
        process.start(ProgramPath(), QStringList());
        EXPECT_TRUE(process.waitForFinished(120000));
        TRun run;
        run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        EXPECT_TRUE(out.isEmpty() || out.endsWith(QLatin1Char('\n')));
        run.Lines = out.split(QLatin1Char('\n'));
        run.Lines.removeLast();
        return run;
    }

    QString Input() const { return FDir.filePath(QStringLiteral("test.fmf")); }
    QString Output() const { return FDir.filePath(QStringLiteral("test_exported.fmf")); }

    // What the exporter makes of the project read from test.fmf.
    QString ExpectedText() const
    {
        TFMFImporter importer;
        std::unique_ptr<TDialogueProject> project;
        importer.ImportFromFile(Input(), project);
        TFMFExporter exporter;
        return exporter.ExportToText(project.get()).Text;
    }

    QTemporaryDir FDir;
};

}

TEST_F(RoundtripProgram, MissingInputReportsTheExceptionOnly)
{
    const TRun run = Run();
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Lines, QStringList{QStringLiteral("Exception: Cannot open file \"test.fmf\". No such file or directory")});
    EXPECT_FALSE(QFileInfo::exists(Output()));
}

TEST_F(RoundtripProgram, EmptyInputWritesTheBareFile)
{
    TestSupport::WriteFile(Input(), QByteArray());
    const QString expected = ExpectedText();
    const TRun run = Run();
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Lines, (QStringList{QStringLiteral("Import successful: 0 nodes"), QStringLiteral("Export successful"),
                                      QStringLiteral("Exported text length: %1").arg(expected.size()),
                                      QStringLiteral("Saved exported file to test_exported.fmf")}));
    EXPECT_EQ(TestSupport::ReadFile(Output()), expected.toLatin1());
    EXPECT_TRUE(expected.startsWith(QStringLiteral("/*\r\n")));
    EXPECT_TRUE(expected.endsWith(QStringLiteral("DETAILED_DESC \"\"\r\n\r\n")));
    EXPECT_FALSE(expected.contains(QStringLiteral("NODE")));
}

TEST_F(RoundtripProgram, EditorFileKeepsItsNodesAndBytes)
{
    TFMFProjectGenerator generator(4242);
    auto project = generator.Make(40);
    while (project->NodeCount() < 5)
        project->AddNode(ntNPCDialogue)->SetText(QStringLiteral("Grüß — 😀"));
    TFMFExporter exporter;
    ASSERT_TRUE(exporter.ExportToFile(project.get(), Input()).Success);
    TestSupport::WriteFile(Output(), "an older file, replaced");

    const QString expected = ExpectedText();
    const TRun run = Run();
    EXPECT_EQ(run.ExitCode, 0);
    ASSERT_EQ(run.Lines.size(), 4) << qPrintable(run.Lines.join(QLatin1Char('\n')));
    EXPECT_EQ(run.Lines[0], QStringLiteral("Import successful: %1 nodes").arg(project->NodeCount()));
    EXPECT_EQ(run.Lines[2], QStringLiteral("Exported text length: %1").arg(expected.size()));
    const QByteArray written = TestSupport::ReadFile(Output());
    EXPECT_EQ(written, TextEncoding::ToAnsi(expected));
    // The editor's file comes back byte for byte.
    EXPECT_EQ(written, TestSupport::ReadFile(Input()));
}

TEST_F(RoundtripProgram, UnwritableOutputEndsWithTheException)
{
    TestSupport::WriteFile(Input(), "NODE \"a\"\n{\n}\n");
    ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("test_exported.fmf")));
    const TRun run = Run();
    EXPECT_EQ(run.ExitCode, 0);
    ASSERT_EQ(run.Lines.size(), 4);
    EXPECT_EQ(run.Lines[0], QStringLiteral("Import successful: 1 nodes"));
    EXPECT_EQ(run.Lines[1], QStringLiteral("Export successful"));
    EXPECT_TRUE(run.Lines[3].startsWith(QStringLiteral("Exception: "))) << qPrintable(run.Lines[3]);
}

TEST_F(RoundtripProgram, InputThatIsAFolderIsAnException)
{
    ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("test.fmf")));
    const TRun run = Run();
    EXPECT_EQ(run.ExitCode, 0);
    ASSERT_EQ(run.Lines.size(), 1);
    EXPECT_TRUE(run.Lines[0].startsWith(QStringLiteral("Exception: "))) << qPrintable(run.Lines[0]);
    EXPECT_FALSE(QFileInfo::exists(Output()));
}

TEST_F(RoundtripProgram, FullDiskKeepsTheOldOutputAndSaysWhy)
{
    for (const int size : {TestSupport::FullDiskSmallBytes, TestSupport::FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        TDialogueProject project;
        project.AddNode(ntNPCDialogue)->SetText(QString(size, QLatin1Char('n')));
        ASSERT_TRUE(TFMFExporter().ExportToFile(&project, Input()).Success);
        const QByteArray before("an older file, kept");
        TestSupport::WriteFile(Output(), before);
        const qint64 newSize = QFileInfo(Input()).size();

        const TRun run = Run(rlim_t(newSize / 2));
        EXPECT_EQ(run.ExitCode, 0);
        ASSERT_EQ(run.Lines.size(), 4) << qPrintable(run.Lines.join(QLatin1Char('\n')));
        EXPECT_EQ(run.Lines[1], QStringLiteral("Export successful"));
        EXPECT_EQ(run.Lines[3].toStdString(), "Exception: Cannot write file \"test_exported.fmf\". "
                                                  + TestSupport::TFileSizeLimit::Reason().toStdString());
        EXPECT_EQ(TestSupport::ReadFile(Output()), before);
        EXPECT_EQ(TestSupport::FilesIn(FDir.path()), (QStringList{QStringLiteral("test.fmf"), QStringLiteral("test_exported.fmf")}));
    }
}

TEST_F(RoundtripProgram, NoSpaceLeftOnDeviceIsNamedAndKeepsTheOldOutput)
{
    // A real full disk: a small file system of its own with 8 KiB left,
    // mounted in a private namespace for the one run; skipped where the
    // system allows no such namespace.
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty())
        GTEST_SKIP() << "no unshare program";
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=256k tmpfs \"$1\" || exit 99\n"
        "cd \"$1\" && cp \"$2\" test.fmf && printf 'an older file, kept' > test_exported.fmf || exit 98\n"
        "cat /dev/zero > filler 2>/dev/null; truncate -s -8192 filler || exit 98\n"
        "\"$4\"\n"
        "cp test_exported.fmf \"$3/after.fmf\" && ls -A > \"$3/listing\"\n");
    for (const int size : {12000, TestSupport::FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        TDialogueProject project;
        project.AddNode(ntNPCDialogue)->SetText(QString(size, QLatin1Char('n')));
        const QString input = FDir.filePath(QStringLiteral("input.fmf"));
        ASSERT_TRUE(TFMFExporter().ExportToFile(&project, input).Success);
        const QString disk = FDir.filePath(QStringLiteral("disk"));
        ASSERT_TRUE(QDir().mkpath(disk));

        QProcess process;
        process.start(unshare, {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                                QStringLiteral("sh"), disk, input, FDir.path(), ProgramPath()});
        ASSERT_TRUE(process.waitForFinished(120000));
        if (process.exitCode() == 99 || (process.exitCode() != 0 && !QFileInfo::exists(FDir.filePath(QStringLiteral("listing")))))
            GTEST_SKIP() << "no private file system here: " << process.readAllStandardError().toStdString();
        const QStringList lines = QString::fromLocal8Bit(process.readAllStandardOutput()).split(QLatin1Char('\n'));
        ASSERT_GE(lines.size(), 4) << qPrintable(lines.join(QLatin1Char('\n')));
        EXPECT_EQ(lines[3].toStdString(), "Exception: Cannot write file \"test_exported.fmf\". No space left on device");
        EXPECT_EQ(TestSupport::ReadFile(FDir.filePath(QStringLiteral("after.fmf"))), QByteArray("an older file, kept"));
        EXPECT_EQ(TestSupport::ReadFile(FDir.filePath(QStringLiteral("listing"))), QByteArray("filler\ntest.fmf\ntest_exported.fmf\n"));
    }
}
