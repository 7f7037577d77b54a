// The main window's export and import commands, run from the menu with the
// file dialogs answered by the test.

#include "test_main_support.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>

using namespace MainTest;

namespace {

class MainExchange : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        WriteSampleProject(Path("brana.tlw"), QStringLiteral("Town"));
        Dialogs->OpenFiles.push_back(Path("brana.tlw"));
        Trigger("miOpenProject");
        ASSERT_EQ(Window->Project()->NodeCount(), 3);
    }
    bool LogHas(const QString& text) const { return LogTexts().contains(text); }
};

TEST_F(MainExchange, SaveDialogsProposeNamesFromTheProject)
{
    struct Case { const char* action; const char* title; const char* proposed; };
    const Case cases[] = {
        { "miExportJSON", "Export Dialogue JSON", "Brana" },
        { "miExportMSG", "Export .MSG File", "brana" },
        { "miExportSSL", "Export .SSL Script", "brana_dialogue" },
        { "miExportFMF", "Export .FMF File", "brana_dialogue.fmf" },
    };
    for (const Case& c : cases) {
        const int lines = Window->LogLines().size();
        Trigger(c.action);   // cancelled: silent
        EXPECT_EQ(Dialogs->Titles.last(), c.title);
        EXPECT_EQ(Dialogs->ProposedNames.last(), c.proposed);
        EXPECT_EQ(Window->LogLines().size(), lines) << c.action;
    }
}

TEST_F(MainExchange, ExportSSLWritesScriptAndMessagesAndCopiesTheLog)
{
    const QString ssl = Path("npc.ssl");
    Dialogs->SaveFiles.push_back(ssl);
    Trigger("miExportSSL");
    EXPECT_TRUE(QFileInfo::exists(ssl));
    EXPECT_TRUE(QFileInfo::exists(Path("npc.msg")));
    EXPECT_EQ(LogTexts().last(), "  SSL/MSG export complete: " + ssl);
    // The first run's lines appear twice: the whole manager log is copied after each run.
    EXPECT_EQ(LogTexts().filter("Exported SSL: ").size(), 2);
    EXPECT_EQ(LogTexts().filter("Exported MSG: ").size(), 1);
}

TEST_F(MainExchange, ExportJSONMSGAndFMF)
{
    Dialogs->SaveFiles = { Path("out.json"), Path("out.msg"), Path("out.fmf") };
    Trigger("miExportJSON");
    Trigger("miExportMSG");
    Trigger("miExportFMF");
    EXPECT_TRUE(LogHas("  JSON export complete: " + Path("out.json")));
    EXPECT_TRUE(LogHas("  MSG export complete: " + Path("out.msg")));
    EXPECT_TRUE(LogHas("  FMF export complete: " + Path("out.fmf") + " (3 nodes)"));
    for (const char* f : { "out.json", "out.msg", "out.fmf" })
        EXPECT_GT(QFileInfo(Path(f)).size(), 0) << f;
}

TEST_F(MainExchange, FailedExportIsAnErrorLine)
{
    // A folder where the file should go cannot be written.
    QDir(Home.path()).mkpath("taken.json");
    Dialogs->SaveFiles.push_back(Path("taken.json"));
    Trigger("miExportJSON");
    EXPECT_EQ(LogTexts().last(), " ? JSON export failed.");
    EXPECT_TRUE(Dialogs->Errors.isEmpty());
}

TEST_F(MainExchange, EnginePackageGoesIntoTheNpcSubfolder)
{
    Dialogs->Folders.push_back(Home.path());
    Trigger("miExportPackage");
    EXPECT_EQ(Dialogs->Titles.last(), "Select Export Package Directory");
    const QString folder = QDir(Home.path()).filePath("brana_pkg");
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(QDir(folder).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(LogTexts().filter(QRegularExpression("^  Package export complete: \\d+ files\\.$")).size() == 1);
    ASSERT_EQ(Dialogs->Informations.size(), 1);
    EXPECT_TRUE(Dialogs->Informations[0].startsWith("Engine package exported successfully!\r\n"));
    EXPECT_TRUE(Dialogs->Informations[0].endsWith(QDir::toNativeSeparators(folder) + QDir::separator()));
}

TEST_F(MainExchange, ModPackageNamesTheThreeAreasAfterTheProject)
{
    Dialogs->Folders.push_back(Home.path());
    Trigger("miExportMod");
    EXPECT_EQ(LogTexts().last(), "  Mod export complete: CITY.TXT, WORLD.TXT generated.");
    const QByteArray city = TestSupport::ReadFile(QDir(Home.path()).filePath("mod_brana/CITY.TXT"));
    const qsizetype a = city.indexOf("Town Location 0"), b = city.indexOf("Town Location 1"),
                    c = city.indexOf("Town Location 2");
    ASSERT_GE(a, 0);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_TRUE(QFileInfo::exists(QDir(Home.path()).filePath("mod_brana/WORLD.TXT")));
    ASSERT_EQ(Dialogs->Informations.size(), 1);
}

TEST_F(MainExchange, ImportsReplaceAModifiedProjectWithoutAsking)
{
    // Files to import come from the exporters themselves.
    Dialogs->SaveFiles = { Path("src.fmf"), Path("src.ssl") };
    Trigger("miExportFMF");
    Trigger("miExportSSL");
    TestSupport::WriteFile(Path("lines.msg"), "{100}{}{Hello there.}\r\n{101}{}{Goodbye.}\r\n");

    struct Case { const char* action; const char* file; const char* kind; const char* name; };
    const Case cases[] = {
        { "miImportMSG", "lines.msg", "MSG", "lines" },
        { "miImportFMF", "src.fmf", "FMF", "src" },
        { "miImportSSL", "src.ssl", "SSL", "src" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        Window->Project()->SetModified(true);
        Dialogs->OpenFiles.push_back(Path(c.file));
        Trigger(c.action);
        EXPECT_TRUE(Dialogs->Questions.isEmpty());
        EXPECT_EQ(Window->Project()->Name(), c.name);
        EXPECT_TRUE(Window->Project()->FilePath().isEmpty());   // Save must ask for a name
        EXPECT_TRUE(LogTexts().last().contains(QString(c.kind) + " import complete: ")
                    || LogTexts().filter(QString(c.kind) + " import complete: ").size() == 1);
        EXPECT_GT(Window->Project()->NodeCount(), 0);
    }
    // The replaced document is one undo away.
    Trigger("miUndo");
    EXPECT_EQ(Window->Project()->Name(), "src");
    EXPECT_EQ(Window->Project()->NodeCount(), 3);
}

TEST_F(MainExchange, FailedImportChangesNothing)
{
    TestSupport::WriteFile(Path("bad.msg"), "{abc}{}{not a number}\r\n");
    Window->Project()->SetModified(true);
    const QString before = DocumentText(*Window->Project());
    Dialogs->OpenFiles.push_back(Path("bad.msg"));
    Trigger("miImportMSG");
    const QStringList texts = LogTexts();
    ASSERT_GE(texts.size(), 2);
    EXPECT_EQ(texts[texts.size() - 2], " ? MSG import failed.");
    EXPECT_TRUE(texts.last().startsWith(" ?   Line 1: "));
    EXPECT_EQ(DocumentText(*Window->Project()), before);
    EXPECT_EQ(Window->Project()->FilePath(), Path("brana.tlw"));

    // A file that cannot be read at all ends in an error box, not a crash.
    Dialogs->OpenFiles.push_back(Path("missing.ssl"));
    Trigger("miImportSSL");
    EXPECT_EQ(DocumentText(*Window->Project()), before);
}

// A binary file taken for a message file logs ten of its errors, escaped,
// not one line of control codes per broken line.
TEST_F(MainExchange, GarbageImportLogsTenEscapedErrors)
{
    QByteArray garbage;
    for (int i = 0; i < 47; ++i)
        garbage += QByteArray("{\x01\x02\x7F\x1B[2J", 8) + QByteArray::number(i) + "\r\n";
    TestSupport::WriteFile(Path("garbage.msg"), garbage);
    const int before = LogTexts().size();
    Dialogs->OpenFiles.push_back(Path("garbage.msg"));
    Trigger("miImportMSG");
    const QStringList added = LogTexts().mid(before);
    ASSERT_EQ(added.size(), 12);
    EXPECT_EQ(added.first(), " ? MSG import failed.");
    EXPECT_EQ(added[1], QStringLiteral(" ?   Line 1: Could not parse: {\\x01\\x02\\x7F\\x1B[2J0"));
    EXPECT_EQ(added.last(), QStringLiteral(" ?   \u2026 and 37 more"));
    for (const QString& line : added)
        for (QChar c : line)
            EXPECT_TRUE(c.isPrint()) << line.toStdString();
}

}

TEST_F(MainExchange, GameScriptGoesIntoTheChosenFolderAndNumbersTheProject)
{
    const QString folder = Path("mod/scripts");
    Dialogs->Folders.push_back(folder);
    Trigger("miExportGameScript");
    EXPECT_EQ(Dialogs->Titles.last(), "Select Game Script Folder");
    const QString ssl = QDir(folder).filePath("brana_dialogue.ssl");
    const QString msg = QDir(folder).filePath("brana_dialogue.msg");
    EXPECT_TRUE(QFileInfo::exists(ssl));
    EXPECT_EQ(TestSupport::ReadFile(msg), QByteArray("{100}{}{Who goes there?}\r\n{101}{}{}\r\n{102}{}{Leave}\r\n"
                                                     "{103}{}{A friend.}\r\n"));

    // The numbers are the project's now, so it has changes to save.
    EXPECT_TRUE(Window->Project()->Modified());
    EXPECT_EQ(Window->Project()->NodeAt(1)->MsgNumber(), 103);
    const QStringList log = LogTexts();
    EXPECT_EQ(log.last(), " ? 2 warnings during export.");
    EXPECT_EQ(log[log.size() - 2], "  Game script export complete: " + ssl + ", " + msg);
    EXPECT_EQ(log.filter(QRegularExpression("^  \\d\\d:\\d\\d:\\d\\d  Message numbers assigned: 4 \\(100 to 103\\)$")).size(), 1);
    // The export's warnings are warning lines.
    EXPECT_EQ(log.filter(QRegularExpression("^ \\? \\d\\d:\\d\\d:\\d\\d  WARNING: ")).size(), 2) << log.join('\n').toStdString();
    EXPECT_EQ(log.filter("Node Node001, option 1: the option has no text").size(), 1);

    // Saved, then exported again: nothing new, nothing to save.
    Trigger("miSave");
    ASSERT_FALSE(Window->Project()->Modified());
    Dialogs->Folders.push_back(folder);
    Trigger("miExportGameScript");
    EXPECT_FALSE(Window->Project()->Modified());
    EXPECT_EQ(LogTexts().filter("Message numbers assigned").size(), 1);

    // Also offered beside the other exports.
    const QMenu* exports = Window->findChild<QMenu*>("miExport");
    ASSERT_NE(exports, nullptr);
    EXPECT_TRUE(exports->actions().contains(Action("miExportGameScript")));
}

TEST_F(MainExchange, GameScriptFailureIsAnErrorAndCancelIsSilent)
{
    const int lines = Window->LogLines().size();
    Trigger("miExportGameScript");   // cancelled
    EXPECT_EQ(Window->LogLines().size(), lines);

    TestSupport::WriteFile(Path("file"), "not a folder");
    Dialogs->Folders.push_back(Path("file"));
    Trigger("miExportGameScript");
    const QStringList log = LogTexts();
    EXPECT_EQ(log[log.size() - 2], " ? Game script export failed.");
    EXPECT_EQ(log.last(), " ?   Failed to write the game script to: " + Path("file") + "/");
    EXPECT_TRUE(Dialogs->Errors.isEmpty());
}

namespace {

// A game script and its message file: found beside the script, chosen by
// the writer when it is elsewhere, or left out when the writer cancels.
TEST_F(MainExchange, GameScriptImportFindsOrAsksForItsMessageFile)
{
    const QByteArray script = TestSupport::ReadFile(TestSupport::DataPath("gameimport/brana.ssl"));
    const QByteArray messages = TestSupport::ReadFile(TestSupport::DataPath("gameimport/brana.msg"));
    QDir().mkpath(Path("beside"));
    QDir().mkpath(Path("alone"));
    QDir().mkpath(Path("text"));
    TestSupport::WriteFile(Path("beside/brana.ssl"), script);
    TestSupport::WriteFile(Path("beside/BRANA.MSG"), messages);
    TestSupport::WriteFile(Path("alone/brana.ssl"), script);
    TestSupport::WriteFile(Path("text/lines.msg"), messages);
    const QString firstLine = QStringLiteral("Water's two caps a cup, stranger. Drink or move along.");

    struct Case {
        const char* Name;
        QStringList Answers;     // the script, then the message file when asked
        bool TextsResolved;
    };
    const Case cases[] = {
        {"beside", {Path("beside/brana.ssl")}, true},
        {"chosen", {Path("alone/brana.ssl"), Path("text/lines.msg")}, true},
        {"cancelled", {Path("alone/brana.ssl")}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const int before = LogTexts().size();
        Dialogs->OpenFiles.assign(c.Answers.begin(), c.Answers.end());
        Trigger("miImportGameScript");
        EXPECT_TRUE(Dialogs->OpenFiles.empty());
        const TDialogueProject& project = *Window->Project();
        EXPECT_EQ(project.Name(), "brana");
        EXPECT_TRUE(project.FilePath().isEmpty());
        const TDialogueNode* start = project.FindNode(project.StartNodeID());
        ASSERT_NE(start, nullptr);
        EXPECT_EQ(start->Text() == firstLine, c.TextsResolved) << start->Text().toStdString();
        const QStringList added = LogTexts().mid(before);
        EXPECT_EQ(added.filter(QRegularExpression("^  GAME import complete: \\d+ nodes imported\\.$")).size(), 1)
            << added.join('\n').toStdString();
        EXPECT_GT(added.size(), 2);   // the report follows
    }
}

}
