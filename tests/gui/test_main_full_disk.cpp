// The main window's writes on a full disk: the old file stays, the failure
// is reported with its reason, and nothing claims a save that did not
// happen.

#include "test_main_support.h"

#include "tests/support/TestSupport.h"

#include <QFileInfo>

using namespace MainTest;
using TestSupport::ExpectFullDiskKeepsTheFile;

namespace {

class MainFullDisk : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        WriteSampleProject(Path("npc.tlw"));
        Dialogs->OpenFiles.push_back(Path("npc.tlw"));
        Trigger("miOpenProject");
        ASSERT_EQ(Window->Project()->NodeCount(), 3);
    }
    void SetText(int size, char fill)
    {
        Window->Project()->NodeAt(0)->SetText(QString(size, QLatin1Char(fill)));
        Window->Project()->SetModified(true);
    }
    // The error shown by the last command, or nothing when none was.
    QString ErrorSince(qsizetype errors) const { return Dialogs->Errors.size() > errors ? Dialogs->Errors.last() : QString(); }
};

const int Sizes[] = {TestSupport::FullDiskSmallBytes, TestSupport::FullDiskLargeBytes};

}

TEST_F(MainFullDisk, SaveAndSaveAsFMFKeepTheFileAndTheModifiedMark)
{
    for (const char* name : {"out.tlw", "out.fmf"}) {
        for (const int size : Sizes) {
            SCOPED_TRACE(testing::Message() << name << ", " << size);
            SetText(size, 'o');
            Dialogs->SaveFiles.push_back(Path(name));
            Trigger("miSaveAs");
            ASSERT_EQ(Window->Project()->FilePath(), Path(name));
            const QByteArray before = TestSupport::ReadFile(Path(name));

            SetText(size, 'n');
            const qsizetype saved = LogTexts().filter("Project saved").size();
            ExpectFullDiskKeepsTheFile(Path(name), before, before.size(), [&] {
                const qsizetype errors = Dialogs->Errors.size();
                Dialogs->SaveFiles.push_back(Path(name));
                Trigger("miSaveAs");
                return ErrorSince(errors);
            });
            EXPECT_EQ(LogTexts().filter("Project saved").size(), saved);
            EXPECT_TRUE(Window->Project()->Modified());
            EXPECT_TRUE(Window->windowTitle().contains(" *"));
        }
    }
}

TEST_F(MainFullDisk, AutoSaveSaysWhyAndKeepsTheEarlierCopy)
{
    const QString copy = Path("npc.autosave.tlw");
    for (const int size : Sizes) {
        SCOPED_TRACE(size);
        SetText(size, 'o');
        Window->AutoSaveTick();
        const QByteArray before = TestSupport::ReadFile(copy);
        SetText(size, 'n');
        ExpectFullDiskKeepsTheFile(copy, before, before.size(), [&] {
            Window->AutoSaveTick();
            const QStringList log = LogTexts();
            return log[log.size() - 2].endsWith("Auto-save failed.") ? log.last() : QString();
        });
        EXPECT_TRUE(Window->Project()->Modified());
    }
}

TEST_F(MainFullDisk, ExportSSLReplacesTheScriptOnlyTogetherWithItsMessages)
{
    // The script is small, its messages large: the disk fills up between
    // the two.
    const QString ssl = Path("npc.ssl"), msg = Path("npc.msg");
    SetText(TestSupport::FullDiskLargeBytes, 'o');
    Dialogs->SaveFiles.push_back(ssl);
    Trigger("miExportSSL");
    ASSERT_EQ(LogTexts().last(), "  SSL/MSG export complete: " + ssl);
    const QByteArray oldScript = TestSupport::ReadFile(ssl), oldMessages = TestSupport::ReadFile(msg);
    ASSERT_LT(oldScript.size(), oldMessages.size() / 4);

    Window->Project()->AddNode(ntNPCDialogue)->SetText(QStringLiteral("A new line."));
    SetText(TestSupport::FullDiskLargeBytes, 'n');
    ExpectFullDiskKeepsTheFile(msg, oldMessages, oldMessages.size(), [&] {
        Dialogs->SaveFiles.push_back(ssl);
        Trigger("miExportSSL");
        const QStringList errors = LogTexts().filter(TestSupport::TFileSizeLimit::Reason());
        return LogTexts().last() == " ? SSL export failed." && !errors.isEmpty() ? errors.last() : QString();
    });
    EXPECT_EQ(TestSupport::ReadFile(ssl), oldScript);
    ASSERT_FALSE(LogTexts().filter("Not written: ").isEmpty());
    EXPECT_TRUE(LogTexts().filter("Not written: ").last().endsWith("  Not written: " + ssl));

    // With room again, both are replaced.
    Dialogs->SaveFiles.push_back(ssl);
    Trigger("miExportSSL");
    EXPECT_EQ(LogTexts().last(), "  SSL/MSG export complete: " + ssl);
    EXPECT_NE(TestSupport::ReadFile(ssl), oldScript);
    EXPECT_NE(TestSupport::ReadFile(msg), oldMessages);
}
