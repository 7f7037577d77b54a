// The export manager: options, dispatch, log lines, the JSON export, the
// engine package, and exports that fail without harming a good file.

#include "export/ExportFiles.h"
#include "export/ExportManager.h"
#include "tests/core/test_export_fixtures.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>


using namespace ExportFixtures;

namespace {

TExportOptions Options(TExportFormat format, const QString& path)
{
    TExportOptions opts = TExportManager::DefaultOptions();
    opts.Format = format;
    opts.OutputPath = path;
    return opts;
}

// "hh:nn:ss", two spaces, the message.
bool IsLogLine(const QString& line, const QString& message)
{
    static const QRegularExpression stamp(QStringLiteral("^([01]\\d|2[0-3]):[0-5]\\d:[0-5]\\d  "));
    return stamp.match(line).hasMatch() && line.mid(10) == message;
}

} // namespace

TEST(ExportManager, DefaultOptionsAndFormatNames)
{
    const TExportOptions o = TExportManager::DefaultOptions();
    EXPECT_EQ(o.Format, efJSON);
    EXPECT_TRUE(o.OutputPath.isEmpty());
    EXPECT_TRUE(o.IncludeComments);
    EXPECT_TRUE(o.IncludeMetadata);
    EXPECT_FALSE(o.MinifyJSON);
    EXPECT_FALSE(o.SplitFiles);
    EXPECT_EQ(o.Encoding, QStringLiteral("UTF-8"));
    EXPECT_EQ(o.LineEnding, QStringLiteral("CRLF"));
    EXPECT_EQ(o.MsgFilePrefix, QStringLiteral("dialog_"));
    EXPECT_TRUE(o.SSLClassName.isEmpty());
    EXPECT_TRUE(o.IncludeFloatMessages);
    EXPECT_TRUE(o.LocaleFilter.isEmpty());

    const char* names[] = {"Dialogue JSON", "Fallout .MSG File", "Fallout .SSL Script", "Localization Pack",
                           "Engine Package", "World Map CITY.TXT", "Fallout Map File", "Fallout Frame File",
                           "Complete Mod Package", "Game Script and Messages"};
    for (int f = 0; f < ExportFormatCount; ++f)
        EXPECT_EQ(TExportManager::FormatName(TExportFormat(f)), QString::fromLatin1(names[f]));
}

TEST(ExportManager, JsonOfAnEmptyProjectIsTheProjectFileWithoutByteOrderMark)
{
    QTemporaryDir dir;
    TDialogueProject p;
    TExportManager mgr(&p);
    const QString path = dir.filePath(QStringLiteral("empty.json"));
    const TExportResult r = mgr.Export(Options(efJSON, path));
    ASSERT_TRUE(r.Success);
    EXPECT_EQ(r.FilesGenerated, QStringList{path});
    EXPECT_TRUE(r.Errors.isEmpty());
    EXPECT_EQ(r.NodeCount, 0);
    ASSERT_EQ(mgr.Log().size(), 1);
    EXPECT_TRUE(IsLogLine(mgr.Log()[0], QStringLiteral("Exported JSON: ") + path)) << mgr.Log()[0].toStdString();

    // Saved after the export, so both carry the same modified date.
    const QString saved = dir.filePath(QStringLiteral("empty.tlw"));
    p.SaveToFile(saved);
    EXPECT_EQ(QByteArray("\xEF\xBB\xBF") + TestSupport::ReadFile(path), TestSupport::ReadFile(saved));
}

TEST(ExportManager, JsonOfTheGoldenProjectIsTheProjectFileText)
{
    QTemporaryDir dir;
    TDialogueProject p;
    BuildGoldenProject(p);
    TExportManager mgr(&p);
    const QString path = dir.filePath(QStringLiteral("golden.json"));
    ASSERT_TRUE(mgr.Export(Options(efJSON, path)).Success);
    const QString saved = dir.filePath(QStringLiteral("golden.tlw"));
    p.SaveToFile(saved);
    const QByteArray bytes = TestSupport::ReadFile(path);
    EXPECT_EQ(QByteArray("\xEF\xBB\xBF") + bytes, TestSupport::ReadFile(saved));
    EXPECT_TRUE(bytes.endsWith("}\r\n"));
}

TEST(ExportManager, EmptyOutputPathFailsWithTheMessageAndTheLog)
{
    TDialogueProject p;
    TExportManager mgr(&p);
    const TExportResult r = mgr.Export(TExportManager::DefaultOptions());
    EXPECT_FALSE(r.Success);
    EXPECT_EQ(r.Errors, QStringList{QStringLiteral("Failed to write JSON to: ")});
    EXPECT_TRUE(r.FilesGenerated.isEmpty());
    ASSERT_FALSE(mgr.Log().isEmpty());
    EXPECT_TRUE(IsLogLine(mgr.Log()[0], QStringLiteral("ERROR: Failed to write JSON to: ")));
}

TEST(ExportManager, MapAndFrameFormatsAreRefusedAndUnknownFormatsDoNothing)
{
    QTemporaryDir dir;
    TDialogueProject p;
    TExportManager mgr(&p);
    struct Case { TExportFormat format; const char* error; };
    for (const Case& c : {Case{efMAP, "MAP export requires map data configuration"},
                          Case{efFRM, "FRM export requires frame data configuration"}}) {
        const TExportResult r = mgr.Export(Options(c.format, dir.filePath(QStringLiteral("x"))));
        EXPECT_FALSE(r.Success);
        EXPECT_EQ(r.Errors, QStringList{QString::fromLatin1(c.error)});
        EXPECT_TRUE(IsLogLine(mgr.Log().last(), QStringLiteral("ERROR: ") + QString::fromLatin1(c.error)));
    }
    EXPECT_TRUE(FilesIn(dir.path()).isEmpty());

    const qsizetype lines = mgr.Log().size();
    const TExportResult r = mgr.Export(Options(TExportFormat(42), dir.filePath(QStringLiteral("y"))));
    EXPECT_FALSE(r.Success);
    EXPECT_TRUE(r.Errors.isEmpty());
    EXPECT_EQ(mgr.Log().size(), lines);
}

TEST(ExportManager, MissingFoldersAreCreatedAndTheLogAccumulates)
{
    QTemporaryDir dir;
    TDialogueProject p;
    Add(p, QStringLiteral("Node001"), ntNPCDialogue, QStringLiteral("Hi"));
    TExportManager mgr(&p);
    const QString deep = dir.filePath(QStringLiteral("a/b/c/d/out.msg"));
    ASSERT_TRUE(mgr.Export(Options(efMSG, deep)).Success);
    EXPECT_EQ(TestSupport::ReadFile(deep), QByteArray("{1}{}{Hi}\r\n"));
    const QString ssl = dir.filePath(QStringLiteral("e/out.ssl"));
    ASSERT_TRUE(mgr.Export(Options(efSSL, ssl)).Success);
    ASSERT_EQ(mgr.Log().size(), 2);
    EXPECT_TRUE(IsLogLine(mgr.Log()[0], QStringLiteral("Exported MSG: ") + deep));
    EXPECT_TRUE(IsLogLine(mgr.Log()[1], QStringLiteral("Exported SSL: ") + ssl));
}

TEST(ExportManager, PackageWritesJsonAndScriptBesideEachOther)
{
    QTemporaryDir dir;
    TDialogueProject p;
    BuildGoldenProject(p);
    TExportManager mgr(&p);
    const TExportResult r = mgr.Export(Options(efPackage, dir.filePath(QStringLiteral("npc.pkg"))));
    ASSERT_TRUE(r.Success) << r.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.FilesGenerated,
              (QStringList{dir.filePath(QStringLiteral("npc.json")), dir.filePath(QStringLiteral("npc.ssl"))}));
    EXPECT_EQ(TestSupport::ReadFile(dir.filePath(QStringLiteral("npc.ssl"))), Golden(QStringLiteral("golden.ssl")));
    EXPECT_TRUE(IsLogLine(mgr.Log().last(), QStringLiteral("Package complete: 2 files generated.")));
}

TEST(ExportManager, PackageIntoAFolderNamesTheFilesAfterTheScript)
{
    QTemporaryDir dir;
    TDialogueProject p;
    p.SetNPCScript(QStringLiteral("  GUARD/Gate "));
    TExportManager mgr(&p);
    TExportOptions opts = Options(efPackage, dir.filePath(QStringLiteral("guard_pkg/")));
    opts.Encoding = QStringLiteral("ASCII");   // the package always writes UTF-8
    const TExportResult r = mgr.Export(opts);
    ASSERT_TRUE(r.Success);
    EXPECT_EQ(r.FilesGenerated, (QStringList{dir.filePath(QStringLiteral("guard_pkg/guard_gate.json")),
                                             dir.filePath(QStringLiteral("guard_pkg/guard_gate.ssl"))}));

    TDialogueProject unnamed;
    TExportManager other(&unnamed);
    EXPECT_EQ(other.PackageBaseName(), QStringLiteral("dialogue"));
}

TEST(ExportManager, PackageWhoseScriptCannotBeWrittenKeepsTheJson)
{
    QTemporaryDir dir;
    TDialogueProject p;
    TExportManager mgr(&p);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("npc.ssl")));   // a folder where the script should go
    const TExportResult r = mgr.Export(Options(efPackage, dir.filePath(QStringLiteral("npc"))));
    EXPECT_FALSE(r.Success);
    EXPECT_EQ(r.FilesGenerated, QStringList{dir.filePath(QStringLiteral("npc.json"))});
    EXPECT_EQ(r.Errors, QStringList{QStringLiteral("Failed to write SSL to: ") + dir.filePath(QStringLiteral("npc.ssl"))});
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("npc.json"))));
    EXPECT_TRUE(IsLogLine(mgr.Log().last(), QStringLiteral("Package complete: 1 files generated.")));
    EXPECT_EQ(mgr.Log().filter(QStringLiteral("  ERROR: Failed to write SSL to: ")).size(), 1);
}

TEST(ExportManager, FailedWritesLeaveTheGoodFileAndNoTemporaryFile)
{
    QTemporaryDir dir;
    TDialogueProject p;
    BuildGoldenProject(p);
    TExportManager mgr(&p);
    const QString target = dir.filePath(QStringLiteral("guard.ssl"));
    TestSupport::WriteFile(target, "good file\r\n");

    // Folder cannot be made (a file stands where a parent folder should be),
    // target is a folder, and the disk fills up in the middle of the write.
    TestSupport::WriteFile(dir.filePath(QStringLiteral("blocker")), "x");
    const QString underFile = dir.filePath(QStringLiteral("blocker/sub/guard.ssl"));
    {
        const TExportResult r = mgr.Export(Options(efSSL, underFile));
        EXPECT_FALSE(r.Success);
        EXPECT_EQ(r.Errors, QStringList{QStringLiteral("Failed to write SSL to: ") + underFile});
    }
    {
        const TExportResult r = mgr.Export(Options(efSSL, dir.path()));
        EXPECT_FALSE(r.Success);
    }
    {
        TestSupport::TFileSizeLimit full(64);
        const TExportResult r = mgr.Export(Options(efSSL, target));
        EXPECT_FALSE(r.Success);
        EXPECT_EQ(r.Errors, QStringList{QStringLiteral("Failed to write SSL to: ") + target});
        EXPECT_TRUE(r.FilesGenerated.isEmpty());
    }
    EXPECT_EQ(TestSupport::ReadFile(target), QByteArray("good file\r\n"));
    EXPECT_EQ(FilesIn(dir.path()), (QStringList{QStringLiteral("blocker"), QStringLiteral("guard.ssl")}));
    EXPECT_EQ(mgr.Log().filter(QStringLiteral("  ERROR: ")).size(), 3);

    // Once there is room again, the same export replaces the file.
    ASSERT_TRUE(mgr.Export(Options(efSSL, target)).Success);
    EXPECT_EQ(TestSupport::ReadFile(target), Golden(QStringLiteral("golden.ssl")));
}

TEST(ExportManager, ReadOnlyTargetIsNotReplaced)
{
    if (!TestSupport::PermissionsEnforced())
        GTEST_SKIP() << "permission checks are not in force for this user";
    QTemporaryDir dir;
    TDialogueProject p;
    TExportManager mgr(&p);
    const QString target = dir.filePath(QStringLiteral("locked.json"));
    TestSupport::WriteFile(target, "keep");
    QFile::setPermissions(target, QFileDevice::ReadOwner);
    EXPECT_FALSE(mgr.Export(Options(efJSON, target)).Success);
    EXPECT_EQ(TestSupport::ReadFile(target), QByteArray("keep"));
}

TEST(ExportManager, CityAndModGoThroughTheModExporter)
{
    QTemporaryDir dir;
    TDialogueProject p;
    TExportManager mgr(&p);
    mgr.ModExporter().WorldMap().GenerateDefaultArea(QStringLiteral("Den"), 1, 2, lsSmall);

    const QString city = dir.filePath(QStringLiteral("data/CITY.TXT"));
    TExportResult r = mgr.Export(Options(efCITYTXT, city));
    EXPECT_TRUE(r.Success);
    EXPECT_TRUE(IsLogLine(mgr.Log().last(), QStringLiteral("Exported CITY.TXT: ") + city));
    EXPECT_TRUE(TestSupport::ReadFile(city).startsWith("[Area 0]\r\narea_name=Den\r\n"));

    const QString mod = dir.filePath(QStringLiteral("mymod"));
    r = mgr.Export(Options(efMod, mod));
    EXPECT_TRUE(r.Success);
    EXPECT_TRUE(IsLogLine(mgr.Log().last(), QStringLiteral("Exported Mod: ") + mod));
    EXPECT_EQ(FilesIn(mod), (QStringList{QStringLiteral("CITY.TXT"), QStringLiteral("WORLD.TXT")}));

    // A failure names the path in the result and the mod exporter's reason in the log.
    const QString blocked = dir.filePath(QStringLiteral("data/CITY.TXT/CITY.TXT"));
    r = mgr.Export(Options(efCITYTXT, blocked));
    EXPECT_FALSE(r.Success);
    EXPECT_EQ(r.Errors, QStringList{QStringLiteral("Failed to export CITY.TXT: ") + blocked});
    EXPECT_EQ(mgr.Log().filter(QStringLiteral("  ERROR exporting CITY.TXT: ")).size(), 1);
    r = mgr.Export(Options(efMod, city));   // a file where the folder should be
    EXPECT_FALSE(r.Success);
    EXPECT_EQ(r.Errors, QStringList{QStringLiteral("Failed to export Mod: ") + city});
}

TEST(ExportManager, ValidateBeforeExportIsTheProjectCheck)
{
    TDialogueProject p;
    Add(p, QStringLiteral("Node001"), ntNPCDialogue)->SetNextNodeID(QStringLiteral("Nowhere"));
    TExportManager mgr(&p);
    EXPECT_EQ(mgr.ValidateBeforeExport(), p.ValidateProject());
}

TEST(ExportPaths, ChangeFileExtTouchesOnlyTheLastComponent)
{
    struct Case { const char* path; const char* expected; };
    const Case cases[] = {
        {"/a/npc.pkg", "/a/npc.json"},
        {"/a/npc", "/a/npc.json"},
        {"/a.b/npc", "/a.b/npc.json"},
        {"/a/npc.tar.gz", "/a/npc.tar.json"},
        {"/a/folder/", "/a/folder/.json"},
        {"", ".json"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExportFiles::ChangeFileExt(QString::fromLatin1(c.path), QStringLiteral(".json")),
                  QString::fromLatin1(c.expected));
}

TEST(ExportManager, FullDiskFailsEveryTextExportWithTheReason)
{
    struct Case { TExportFormat format; const char* target; const char* checked; };
    const Case cases[] = {
        { efJSON, "out.json", "out.json" },
        { efMSG, "out.msg", "out.msg" },
        { efSSL, "out.ssl", "out.ssl" },
        { efLocalization, "out.loc.json", "out.loc.json" },
        { efPackage, "pkg.tlw", "pkg.json" },
    };
    QTemporaryDir dir;
    auto packageScript = [&] {
        const QString path = dir.filePath(QStringLiteral("pkg.ssl"));
        return QFile::exists(path) ? TestSupport::ReadFile(path) : QByteArray();
    };
    for (const Case& c : cases) {
        for (const int size : {TestSupport::FullDiskSmallBytes, TestSupport::FullDiskLargeBytes}) {
            SCOPED_TRACE(testing::Message() << c.target << ", " << size);
            TDialogueProject p;
            Add(p, QStringLiteral("Node001"), ntNPCDialogue, QString(size, QLatin1Char('o')));
            TExportManager mgr(&p);
            const QString target = dir.filePath(QString::fromLatin1(c.target));
            const QString checked = dir.filePath(QString::fromLatin1(c.checked));
            ASSERT_TRUE(mgr.Export(Options(c.format, target)).Success);
            const QByteArray before = TestSupport::ReadFile(checked);
            const QByteArray beforeScript = packageScript();
            p.NodeAt(0)->SetText(QString(size, QLatin1Char('n')));
            TestSupport::ExpectFullDiskKeepsTheFile(checked, before, before.size(), [&] {
                const qsizetype logged = mgr.Log().size();
                const TExportResult r = mgr.Export(Options(c.format, target));
                EXPECT_FALSE(r.Success);
                EXPECT_FALSE(r.FilesGenerated.contains(checked));
                return r.Errors.isEmpty() ? QString() : mgr.Log().mid(logged).join(QLatin1Char('\n'));
            });
            EXPECT_EQ(packageScript(), beforeScript);
        }
    }
}

TEST(ExportManager, HeldFilesReplaceTheOldOnesTogether)
{
    QTemporaryDir dir;
    const QString ssl = dir.filePath(QStringLiteral("npc.ssl")), msg = dir.filePath(QStringLiteral("npc.msg"));
    TDialogueProject p;
    BuildGoldenProject(p);
    auto writeOldPair = [&] {
        TestSupport::WriteFile(ssl, "old script");
        TestSupport::WriteFile(msg, "old messages");
    };
    auto expectOldPair = [&] {
        EXPECT_EQ(TestSupport::ReadFile(ssl), QByteArray("old script"));
        EXPECT_EQ(TestSupport::ReadFile(msg), QByteArray("old messages"));
        EXPECT_EQ(FilesIn(dir.path()), (QStringList{QStringLiteral("npc.msg"), QStringLiteral("npc.ssl")}));
    };
    auto messages = [](const QStringList& log) {
        QStringList out;
        for (const QString& line : log)
            out << line.mid(10);
        return out;
    };

    // Both halves written, then the program ends before the commit.
    writeOldPair();
    {
        TExportManager mgr(&p);
        mgr.HoldFiles();
        ASSERT_TRUE(mgr.Export(Options(efSSL, ssl)).Success);
        ASSERT_TRUE(mgr.Export(Options(efMSG, msg)).Success);
        expectOldPair();
    }
    expectOldPair();

    // The second half fails: the first does not replace its old file, and
    // the log says so.
    QDir(dir.path()).mkdir(QStringLiteral("taken.msg"));
    {
        TExportManager mgr(&p);
        mgr.HoldFiles();
        ASSERT_TRUE(mgr.Export(Options(efSSL, ssl)).Success);
        EXPECT_FALSE(mgr.Export(Options(efMSG, dir.filePath(QStringLiteral("taken.msg")))).Success);
        mgr.DiscardHeldFiles();
        EXPECT_EQ(messages(mgr.Log()).last(), QStringLiteral("Not written: ") + ssl);
    }
    expectOldPair();
    QDir(dir.path()).rmdir(QStringLiteral("taken.msg"));

    // Committed: the same files and log lines as without holding.
    TExportManager plain(&p);
    ASSERT_TRUE(plain.Export(Options(efSSL, ssl)).Success);
    ASSERT_TRUE(plain.Export(Options(efMSG, msg)).Success);
    const QByteArray plainScript = TestSupport::ReadFile(ssl), plainMessages = TestSupport::ReadFile(msg);
    writeOldPair();
    TExportManager held(&p);
    held.HoldFiles();
    ASSERT_TRUE(held.Export(Options(efSSL, ssl)).Success);
    ASSERT_TRUE(held.Export(Options(efMSG, msg)).Success);
    ASSERT_TRUE(held.CommitHeldFiles());
    EXPECT_EQ(TestSupport::ReadFile(ssl), plainScript);
    EXPECT_EQ(TestSupport::ReadFile(msg), plainMessages);
    EXPECT_EQ(plainScript, Golden(QStringLiteral("golden.ssl")));
    EXPECT_EQ(messages(held.Log()), messages(plain.Log()));
    EXPECT_EQ(FilesIn(dir.path()), (QStringList{QStringLiteral("npc.msg"), QStringLiteral("npc.ssl")}));
}
