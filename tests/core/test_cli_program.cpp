// tallowin-cli run as a process: its commands, exit statuses and streams.

#include "export/ExportManager.h"
#include "model/DialogueTypes.h"
#include "tests/core/test_export_fixtures.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString ProgramPath()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../cli/tallowin-cli"));
}

struct TRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

class CliProgram : public testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(ProgramPath()).isExecutable())
            GTEST_SKIP() << "tallowin-cli not built at " << qPrintable(ProgramPath());
        ASSERT_TRUE(FDir.isValid());
    }

    TRun Run(const QStringList& args)
    {
        QProcess process;
        process.setWorkingDirectory(FDir.path());
        process.start(ProgramPath(), args);
        EXPECT_TRUE(process.waitForFinished(120000));
        TRun run;
        run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.Out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.Err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    QString Path(const QString& name) const { return FDir.filePath(name); }

    // The export tests' rich project, saved as a project file.
    QString SaveGoldenProject(const QString& name = QStringLiteral("golden.tlw"))
    {
        TDialogueProject project;
        project.SetNPCScript(QStringLiteral("Guard"));
        ExportFixtures::BuildGoldenProject(project);
        project.SaveToFile(Path(name));
        return Path(name);
    }

    QTemporaryDir FDir;
};

TEST_F(CliProgram, HelpForTheProgramAndEachCommand)
{
    for (const QStringList& args : {QStringList{QStringLiteral("--help")},
                                    QStringList{QStringLiteral("export"), QStringLiteral("--help")},
                                    QStringList{QStringLiteral("validate"), QStringLiteral("-h")},
                                    QStringList{QStringLiteral("import"), QStringLiteral("--help")}}) {
        const TRun run = Run(args);
        EXPECT_EQ(run.ExitCode, 0) << qPrintable(args.join(' '));
        EXPECT_TRUE(run.Out.startsWith(QLatin1String("Usage: tallowin-cli"))) << qPrintable(run.Out);
        EXPECT_TRUE(run.Err.isEmpty());
    }
    EXPECT_TRUE(Run({QStringLiteral("export"), QStringLiteral("--help")}).Out.contains(QLatin1String("json, msg, ssl")));
    EXPECT_TRUE(Run({QStringLiteral("import"), QStringLiteral("--help")}).Out.contains(QLatin1String("msg, ssl, game, fmf")));
}

TEST_F(CliProgram, ArgumentsItCannotUseExitWithStatusTwoAndNothingOnStdout)
{
    const QString project = SaveGoldenProject();
    const QString out = Path(QStringLiteral("out.json"));
    struct TCase {
        QStringList Args;
        const char* Says;
    };
    const TCase cases[] = {
        {{}, "Usage:"},
        {{QStringLiteral("frobnicate")}, "unknown command 'frobnicate'"},
        {{QStringLiteral("export"), project, QStringLiteral("-o"), out}, "export needs --format"},
        {{QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("json"), project}, "export needs -o PATH"},
        {{QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("-o"), out},
         "exactly one project file"},
        {{QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("docx"), project, QStringLiteral("-o"), out},
         "cannot export as 'docx'; formats: json"},
        {{QStringLiteral("export"), QStringLiteral("--bogus"), project}, "Unknown option 'bogus'"},
        {{QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("json"), project, QStringLiteral("-o"), out},
         "cannot import 'json'"},
        {{QStringLiteral("validate")}, "exactly one project file"},
        {{QStringLiteral("validate"), Path(QStringLiteral("missing.tlw"))}, "no such file"},
        {{QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("ssl"), Path(QStringLiteral("none.ssl")),
          QStringLiteral("-o"), out},
         "no such file"},
    };
    for (const TCase& c : cases) {
        const TRun run = Run(c.Args);
        EXPECT_EQ(run.ExitCode, 2) << qPrintable(c.Args.join(' '));
        const QString all = run.Out + run.Err;
        EXPECT_TRUE(all.contains(QLatin1String(c.Says))) << qPrintable(c.Args.join(' ')) << "\n" << qPrintable(all);
        EXPECT_TRUE(run.Out.isEmpty()) << qPrintable(run.Out);
    }
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(CliProgram, ABadProjectFileIsRefusedWithTheReaderMessage)
{
    TestSupport::WriteFile(Path(QStringLiteral("bad.tlw")), QByteArray("\xEF\xBB\xBF{\"name\": \"x\", \"nodes\": [", 22));
    const TRun run = Run({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("json"),
                          Path(QStringLiteral("bad.tlw")), QStringLiteral("-o"), Path(QStringLiteral("o.json"))});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.contains(QLatin1String("cannot open project"))) << qPrintable(run.Err);
    EXPECT_TRUE(run.Out.isEmpty());
}

// Each format's file is the one the export manager writes for the same
// project and path, so the command line and the editor never disagree.
TEST_F(CliProgram, ExportWritesWhatTheEditorWrites)
{
    const QString projectPath = SaveGoldenProject();
    TDialogueProject project;
    project.LoadFromFile(projectPath);
    const std::pair<const char*, TExportFormat> formats[] = {
        {"json", efJSON}, {"msg", efMSG}, {"ssl", efSSL}, {"loc", efLocalization}};
    for (const auto& [key, format] : formats) {
        const QString cliFile = Path(QStringLiteral("cli.") + QLatin1String(key));
        const TRun run = Run({QStringLiteral("export"), QStringLiteral("--format"), QLatin1String(key), projectPath,
                              QStringLiteral("-o"), cliFile});
        EXPECT_EQ(run.ExitCode, 0) << key << qPrintable(run.Err);
        EXPECT_EQ(run.Out, cliFile + QLatin1Char('\n')) << key;

        const QString editorFile = Path(QStringLiteral("editor.") + QLatin1String(key));
        TExportManager manager(&project);
        TExportOptions options = TExportManager::DefaultOptions();
        options.Format = format;
        options.OutputPath = editorFile;
        ASSERT_TRUE(manager.Export(options).Success) << key;
        QByteArray expected = TestSupport::ReadFile(editorFile);
        QByteArray actual = TestSupport::ReadFile(cliFile);
        if (format == efJSON) {   // saved a moment apart
            expected = TestSupport::DocumentText(project).toUtf8();
            TDialogueProject reread;
            reread.LoadFromFile(cliFile);
            actual = TestSupport::DocumentText(reread).toUtf8();
        }
        EXPECT_EQ(actual, expected) << key;
    }
}

TEST_F(CliProgram, ExportOfSeveralFilesListsEachAndWarningsGoToStderr)
{
    const QString projectPath = SaveGoldenProject();
    const QString folder = Path(QStringLiteral("pkg")) + QLatin1Char('/');
    const TRun package = Run({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("package"), projectPath,
                              QStringLiteral("-o"), folder});
    EXPECT_EQ(package.ExitCode, 0) << qPrintable(package.Err);
    EXPECT_EQ(package.Out, folder + QStringLiteral("guard.json\n") + folder + QStringLiteral("guard.ssl\n"));

    // The golden project holds a "}" in a message, which the game cannot read.
    const TRun msg = Run({QStringLiteral("export"), QStringLiteral("-f"), QStringLiteral("msg"), projectPath,
                          QStringLiteral("-o"), Path(QStringLiteral("g.msg"))});
    EXPECT_EQ(msg.ExitCode, 0);
    EXPECT_TRUE(msg.Err.contains(QLatin1String("tallowin-cli: warning: "))) << qPrintable(msg.Err);
    EXPECT_FALSE(msg.Out.contains(QLatin1String("warning")));

    const TRun fmf = Run({QStringLiteral("export"), QStringLiteral("--format=fmf"), projectPath, QStringLiteral("-o"),
                          Path(QStringLiteral("g.fmf"))});
    EXPECT_EQ(fmf.ExitCode, 0) << qPrintable(fmf.Err);
    EXPECT_TRUE(TestSupport::ReadFile(Path(QStringLiteral("g.fmf"))).contains("Guard"));
}

// The one export that changes its input: new message numbers go back into
// the project, so the next run writes the same files and changes nothing.
TEST_F(CliProgram, GameExportSavesNewMessageNumbersIntoTheProject)
{
    const QString projectPath = SaveGoldenProject();
    const QString folder = Path(QStringLiteral("game"));
    const QStringList args{QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("game"), projectPath,
                           QStringLiteral("-o"), folder};
    const TRun first = Run(args);
    ASSERT_EQ(first.ExitCode, 0) << qPrintable(first.Err);
    EXPECT_EQ(first.Out, folder + QStringLiteral("/guard.ssl\n") + folder + QStringLiteral("/guard.msg\n"));
    EXPECT_TRUE(first.Err.contains(QLatin1String("new message numbers saved to ") + projectPath)) << qPrintable(first.Err);
    TDialogueProject numbered;
    ASSERT_TRUE(numbered.LoadFromFile(projectPath));
    EXPECT_EQ(numbered.Nodes().front()->MsgNumber(), 100);

    const QByteArray script = TestSupport::ReadFile(folder + QStringLiteral("/guard.ssl"));
    const QByteArray messages = TestSupport::ReadFile(folder + QStringLiteral("/guard.msg"));
    const QByteArray saved = TestSupport::ReadFile(projectPath);
    const TRun again = Run(args);
    EXPECT_EQ(again.ExitCode, 0);
    EXPECT_FALSE(again.Err.contains(QLatin1String("saved to"))) << qPrintable(again.Err);
    EXPECT_EQ(TestSupport::ReadFile(projectPath), saved);
    EXPECT_EQ(TestSupport::ReadFile(folder + QStringLiteral("/guard.ssl")), script);
    EXPECT_EQ(TestSupport::ReadFile(folder + QStringLiteral("/guard.msg")), messages);
}

TEST_F(CliProgram, AnUnwritableTargetFailsWithTheReason)
{
    const QString projectPath = SaveGoldenProject();
    TestSupport::WriteFile(Path(QStringLiteral("afile")), "x");
    for (const char* key : {"json", "fmf"}) {
        const TRun run = Run({QStringLiteral("export"), QStringLiteral("--format"), QLatin1String(key), projectPath,
                              QStringLiteral("-o"), Path(QStringLiteral("afile/inside.out"))});
        EXPECT_EQ(run.ExitCode, 1) << key;
        EXPECT_TRUE(run.Err.contains(QLatin1String("export failed"))) << qPrintable(run.Err);
        EXPECT_TRUE(run.Out.isEmpty());
    }
}

TEST_F(CliProgram, ValidateListsProblemsAndFailsOnlyOnErrors)
{
    TDialogueProject warnOnly;   // no start node: a warning
    warnOnly.AddNode(ntNPCDialogue)->SetText(QStringLiteral("Hi"));
    warnOnly.SaveToFile(Path(QStringLiteral("warn.tlw")));
    const TRun warned = Run({QStringLiteral("validate"), Path(QStringLiteral("warn.tlw"))});
    EXPECT_EQ(warned.ExitCode, 0);
    EXPECT_EQ(warned.Out, QStringLiteral("WARNING: No start node defined\n"));

    TDialogueProject broken;
    TDialogueNode* node = broken.AddNode(ntNPCDialogue);
    node->SetText(QStringLiteral("Hi"));
    broken.SetStartNodeID(node->ID());
    node->AddOption()->TargetNodeID = QStringLiteral("Node404");
    broken.SaveToFile(Path(QStringLiteral("broken.tlw")));
    const TRun failed = Run({QStringLiteral("validate"), Path(QStringLiteral("broken.tlw"))});
    EXPECT_EQ(failed.ExitCode, 1);
    EXPECT_TRUE(failed.Out.contains(QLatin1String("ERROR: Node Node001 option links to missing node: Node404")))
        << qPrintable(failed.Out);
}

TEST_F(CliProgram, ImportMakesAProjectTheEditorOpens)
{
    struct TCase {
        const char* Key;
        QString Input;
    };
    const TCase cases[] = {
        {"ssl", TestSupport::DataPath(QStringLiteral("import/dcbrana.ssl"))},
        {"msg", TestSupport::DataPath(QStringLiteral("import/dcbrana.msg"))},
        {"fmf", TestSupport::DataPath(QStringLiteral("fmf/outside_tool.fmf"))},
    };
    for (const TCase& c : cases) {
        const QString output = Path(QStringLiteral("imported_") + QLatin1String(c.Key) + QStringLiteral(".tlw"));
        const TRun run = Run({QStringLiteral("import"), QStringLiteral("--format"), QLatin1String(c.Key), c.Input,
                              QStringLiteral("-o"), output});
        EXPECT_EQ(run.ExitCode, 0) << c.Key << qPrintable(run.Err);
        EXPECT_EQ(run.Out, output + QLatin1Char('\n'));
        TDialogueProject project;
        ASSERT_TRUE(project.LoadFromFile(output)) << c.Key;
        EXPECT_GT(project.NodeCount(), 0) << c.Key;
        EXPECT_EQ(project.Name(), QFileInfo(c.Input).completeBaseName()) << c.Key;
        EXPECT_TRUE(run.Err.contains(QStringLiteral("%1 nodes imported.").arg(project.NodeCount()))) << qPrintable(run.Err);
    }
}

TEST_F(CliProgram, ImportOfAFileItCannotUseSavesNothing)
{
    TestSupport::WriteFile(Path(QStringLiteral("garbage.msg")), QByteArray("{a\x01" "b\r\n{\r\n"));
    const QString output = Path(QStringLiteral("never.tlw"));
    const TRun run = Run({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("msg"),
                          Path(QStringLiteral("garbage.msg")), QStringLiteral("-o"), output});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QLatin1String("import failed"))) << qPrintable(run.Err);
    EXPECT_TRUE(run.Err.contains(QLatin1String("{a\\x01b"))) << qPrintable(run.Err);   // shown, not sent raw
    EXPECT_FALSE(QFileInfo::exists(output));
}

TEST_F(CliProgram, GameImportPrintsItsReport)
{
    const QString script = TestSupport::DataPath(QStringLiteral("gameimport/brana.ssl"));
    const QString output = Path(QStringLiteral("brana.tlw"));
    const TRun run = Run({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("game"), script,
                          QStringLiteral("--msg"), TestSupport::DataPath(QStringLiteral("gameimport/brana.msg")),
                          QStringLiteral("-o"), output});
    EXPECT_EQ(run.ExitCode, 0) << qPrintable(run.Err);
    EXPECT_TRUE(run.Out.contains(QLatin1String("Procedures: 9 (7 dialogue)\n"))) << qPrintable(run.Out);
    EXPECT_TRUE(run.Out.contains(QLatin1String("Messages used: 16, unused: 0, missing: 0\n")));
    EXPECT_TRUE(run.Out.endsWith(output + QLatin1Char('\n')));
    TDialogueProject project;
    ASSERT_TRUE(project.LoadFromFile(output));
    EXPECT_EQ(project.StartNodeID(), QStringLiteral("Node001"));
    EXPECT_FALSE(project.GameScript().IsEmpty());

    // Warnings (a message the file lacks) still succeed.
    const TRun warned = Run({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("game"),
                             TestSupport::DataPath(QStringLiteral("gameimport/oswin.ssl")), QStringLiteral("-o"),
                             Path(QStringLiteral("oswin.tlw"))});
    EXPECT_EQ(warned.ExitCode, 0) << qPrintable(warned.Err);
    EXPECT_TRUE(warned.Out.contains(QLatin1String("  Line 66: message 299\n"))) << qPrintable(warned.Out);
    EXPECT_TRUE(warned.Err.contains(QLatin1String("warning"))) << qPrintable(warned.Err);

    // A script with no dialogue fails, with its report, and saves nothing.
    const QString never = Path(QStringLiteral("never.tlw"));
    const TRun map = Run({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("game"),
                          TestSupport::DataPath(QStringLiteral("gameimport/mapscript.ssl")), QStringLiteral("-o"), never});
    EXPECT_EQ(map.ExitCode, 1);
    EXPECT_TRUE(map.Err.contains(QLatin1String("No dialogue found"))) << qPrintable(map.Err);
    EXPECT_TRUE(map.Out.contains(QLatin1String("Procedures: 2 (0 dialogue)")));
    EXPECT_FALSE(QFileInfo::exists(never));

    // --msg belongs to the game format, and must name a file.
    struct TCase {
        QStringList Args;
        const char* Says;
    };
    const TCase refused[] = {
        {{QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("ssl"), script, QStringLiteral("--msg"),
          script, QStringLiteral("-o"), never},
         "--msg is only for --format game"},
        {{QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("game"), script, QStringLiteral("--msg"),
          Path(QStringLiteral("missing.msg")), QStringLiteral("-o"), never},
         "no such file"},
    };
    for (const TCase& c : refused) {
        const TRun r = Run(c.Args);
        EXPECT_EQ(r.ExitCode, 2);
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_TRUE(r.Err.contains(QLatin1String(c.Says))) << qPrintable(r.Err);
    }
    EXPECT_FALSE(QFileInfo::exists(never));
}

} // namespace
