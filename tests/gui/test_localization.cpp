// The localization window: string table keys, locale list edits, the pack
// export through the export manager and the summary of an opened pack.

#include "editors/Localization.h"
#include "editors/LocalizationStrings.h"
#include "export/ExportManager.h"
#include "shell/ThemeManager.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

TDialogueNode* AddNode(TDialogueProject& project, TNodeType type, const QString& text,
                       const QStringList& options = {})
{
    TDialogueNode* node = project.AddNode(type);
    node->SetText(text);
    for (const QString& option : options)
        node->AddOption()->Text = option;
    return node;
}

// Several locales and texts of every kind the table skips or shortens.
struct LocalizedProject {
    TDialogueProject Project;
    LocalizedProject()
    {
        Project.SetNPCName(QStringLiteral("Harold"));
        Project.Locales() = QStringList({ "en-US", "de-DE", "fr-FR" });
        Project.SetActiveLocale(QStringLiteral("en-US"));
        AddNode(Project, ntNPCDialogue, QStringLiteral("Hello"), { "Yes", "", "No" });
        AddNode(Project, ntComment, QStringLiteral("writer's note"), { "hidden" });
        AddNode(Project, ntPlayerReply, QStringLiteral("  "), { "orphan option" });
        TDialogueNode* longNode = AddNode(Project, ntNPCDialogue, QString(100, QLatin1Char('w')), { "  ", "Sure" });
        longNode->SetID(QStringLiteral("VeryLongNodeIdentifier"));
    }
};

QStringList Keys(const QVector<TLocalizationStringRow>& rows)
{
    QStringList keys;
    for (const auto& row : rows)
        keys << row.Key;
    return keys;
}

}

TEST(LocalizationStrings, KeysSkipCommentsAndBlankTexts)
{
    LocalizedProject localized;
    const auto rows = LocalizationStrings::BuildStringTable(localized.Project);
    EXPECT_EQ(Keys(rows), QStringList({ "node_Node001_text", "node_Node001_opt0", "node_Node001_opt2",
                                        "node_VeryLongNo_text", "node_VeryLongNo_opt1" }));
    for (const auto& row : rows) {
        EXPECT_EQ(row.Source, row.Translation);
        EXPECT_EQ(row.Status, QStringLiteral("Untranslated"));
    }
    EXPECT_EQ(rows[3].Source, QString(80, QLatin1Char('w')));
    EXPECT_EQ(rows[4].Source, QStringLiteral("Sure"));
    EXPECT_EQ(LocalizationStrings::TotalStringsText(int(rows.size())), QStringLiteral("Total strings: 5"));
}

TEST(LocalizationStrings, LocaleListEdits)
{
    LocalizedProject localized;
    TDialogueProject& project = localized.Project;
    struct Case { QString code; bool added; };
    const Case adds[] = { { "DE-de", false }, { "   ", false }, { "", false }, { " ru-RU ", true }, { "RU-ru", false } };
    for (const Case& c : adds) {
        project.SetModified(false);
        EXPECT_EQ(LocalizationStrings::AddLocale(project, c.code), c.added) << c.code.toStdString();
        EXPECT_EQ(project.Modified(), c.added);
    }
    EXPECT_EQ(project.Locales(), QStringList({ "en-US", "de-DE", "fr-FR", "ru-RU" }));

    project.SetModified(false);
    for (int index : { 0, -1, 4 })
        EXPECT_FALSE(LocalizationStrings::RemoveLocale(project, index)) << index;
    EXPECT_FALSE(project.Modified());
    EXPECT_TRUE(LocalizationStrings::RemoveLocale(project, 1));
    EXPECT_TRUE(project.Modified());
    EXPECT_EQ(project.Locales(), QStringList({ "en-US", "fr-FR", "ru-RU" }));

    project.SetModified(false);
    LocalizationStrings::SetActiveLocale(project, 1);
    EXPECT_EQ(project.ActiveLocale(), QStringLiteral("fr-FR"));
    LocalizationStrings::SetActiveLocale(project, 7);
    EXPECT_EQ(project.ActiveLocale(), QStringLiteral("fr-FR"));
    EXPECT_FALSE(project.Modified());
    EXPECT_EQ(LocalizationStrings::ProposedPackFileName(project), QStringLiteral("Harold_fr-FR"));
}

TEST(LocalizationStrings, ExportWritesThePackAndReportsIt)
{
    LocalizedProject localized;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Harold_de-DE"));
    const TExportResult result = LocalizationStrings::ExportPack(localized.Project, path);
    ASSERT_TRUE(result.Success) << result.Errors.join('\n').toStdString();
    EXPECT_EQ(LocalizationStrings::ExportResultMessage(result), QStringLiteral("Exported 1 file(s) successfully."));

    QByteArray bytes = TestSupport::ReadFile(path);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QJsonArray pack = QJsonDocument::fromJson(bytes).array();
    ASSERT_EQ(pack.size(), 5);
    // The pack keeps whole IDs and an option suffix; the table shortens them.
    EXPECT_EQ(pack[3].toObject().value("key").toString(), QStringLiteral("node_VeryLongNodeIdentifier_text"));
    EXPECT_EQ(pack[2].toObject().value("key").toString(), QStringLiteral("node_Node001_opt2_text"));
    EXPECT_EQ(LocalizationStrings::ImportPackMessage(TestSupport::ReadFile(path)),
              QStringLiteral("Localization file loaded successfully.\r\nFound 5 strings."));
}

TEST(LocalizationStrings, ExportFailureListsTheErrors)
{
    LocalizedProject localized;
    QTemporaryDir dir;
    const TExportResult result = LocalizationStrings::ExportPack(localized.Project, dir.path());   // a folder
    ASSERT_FALSE(result.Success);
    EXPECT_EQ(LocalizationStrings::ExportResultMessage(result),
              QStringLiteral("Export failed: ") + result.Errors.join(QStringLiteral("\r\n")));
}

TEST(LocalizationStrings, ImportMessageForEachKindOfFile)
{
    struct Case { QByteArray bytes; QString message; };
    const QString loaded = QStringLiteral("Localization file loaded successfully.\r\nFound %1 strings.");
    const Case cases[] = {
        { R"({"count": 12})", loaded.arg(12) },
        { "\xEF\xBB\xBF{\"count\": 3, \"strings\": []}", loaded.arg(3) },
        { R"({"count": 2.5})", loaded.arg(2.5) },
        { R"([{"key":"a"},{"key":"b"}])", loaded.arg(2) },
        { R"({"count": "12"})", QString() },
        { R"({"strings": []})", QString() },
        { "not json at all", QString() },
        { QByteArray("\x00\xFF\xFE", 3), QString() },
        { R"({"count": 1)", QString() },
        { "", QString() },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocalizationStrings::ImportPackMessage(c.bytes), c.message) << c.bytes.toStdString();
}

class LocalizationFormTest : public ::testing::Test {
protected:
    void Open()
    {
        Form = std::make_unique<TLocalizationForm>(nullptr, &Localized.Project);
        Form->SetMessageSink([this](QWidget*, const QString& text) { Messages << text; });
        Form->SetAskText([this](QWidget*, const QString& title, const QString& prompt) {
            Questions << title + "|" + prompt;
            return Answer;
        });
        Form->SetAskSavePath([this](QWidget*, const QString& title, const QString& proposed, const QString&) {
            Questions << title + "|" + proposed;
            return Answer;
        });
        Form->SetAskOpenPath([this](QWidget*, const QString& title, const QString&, const QString&) {
            Questions << title;
            return Answer;
        });
        Form->show();
    }
    QStringList LocaleRows() const
    {
        QStringList rows;
        for (int i = 0; i < Form->LocaleList()->count(); ++i)
            rows << Form->LocaleList()->item(i)->text();
        return rows;
    }
    LocalizedProject Localized;
    std::unique_ptr<TLocalizationForm> Form;
    QStringList Messages;
    QStringList Questions;
    QString Answer;
};

TEST_F(LocalizationFormTest, OpensWithLocalesAndStrings)
{
    Open();
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Localization Manager"));
    EXPECT_EQ(Form->size(), QSize(780, 520));
    EXPECT_EQ(LocaleRows(), QStringList({ "en-US", "de-DE", "fr-FR" }));
    EXPECT_EQ(Form->LocaleList()->currentRow(), 0);
    EXPECT_EQ(Form->StringTable()->rowCount(), 5);
    EXPECT_EQ(Form->StringTable()->horizontalHeaderItem(1)->text(), QStringLiteral("Source (en-US)"));
    EXPECT_EQ(Form->StatsLabel()->text(), QStringLiteral("Total strings: 5"));
    EXPECT_EQ(Form->ExportButton()->text(), QString(QChar(0x2B06)) + QStringLiteral(" Export Pack"));
    EXPECT_EQ(Form->RemoveButton()->text(), QString(QChar(0x2212)));
}

TEST_F(LocalizationFormTest, AddRemoveAndChooseLocales)
{
    Open();
    Localized.Project.SetModified(false);
    Answer = QStringLiteral("de-de");
    Form->AddButton()->click();
    EXPECT_EQ(Questions.value(0), QStringLiteral("Add Locale|Locale code (e.g. de-DE, fr-FR, ru-RU):"));
    EXPECT_FALSE(Localized.Project.Modified());
    Answer = QStringLiteral("it-IT");
    Form->AddButton()->click();
    EXPECT_EQ(LocaleRows(), QStringList({ "en-US", "de-DE", "fr-FR", "it-IT" }));
    EXPECT_TRUE(Localized.Project.Modified());

    Form->LocaleList()->setCurrentRow(0);
    Form->RemoveButton()->click();
    EXPECT_EQ(Messages, QStringList({ "Cannot remove default locale." }));
    Form->LocaleList()->setCurrentRow(1);
    Form->RemoveButton()->click();
    EXPECT_EQ(LocaleRows(), QStringList({ "en-US", "fr-FR", "it-IT" }));

    Form->LocaleList()->setCurrentRow(2);
    Form->LocaleClicked();
    EXPECT_EQ(Localized.Project.ActiveLocale(), QStringLiteral("it-IT"));
}

TEST_F(LocalizationFormTest, ExportAndImportThroughTheButtons)
{
    Open();
    QTemporaryDir dir;
    Localized.Project.SetActiveLocale(QStringLiteral("de-DE"));
    Answer = QString();
    Form->ExportButton()->click();                       // cancelled: nothing written
    EXPECT_EQ(Questions, QStringList({ "Export Localization Pack|Harold_de-DE" }));
    EXPECT_TRUE(Messages.isEmpty());

    Answer = dir.filePath(QStringLiteral("pack.json"));
    Form->ExportButton()->click();
    Form->ImportButton()->click();
    Answer = dir.filePath(QStringLiteral("missing.json"));
    Form->ImportButton()->click();
    ASSERT_EQ(Messages.size(), 3);
    EXPECT_EQ(Messages[0], QStringLiteral("Exported 1 file(s) successfully."));
    EXPECT_EQ(Messages[1], QStringLiteral("Localization file loaded successfully.\r\nFound 5 strings."));
    EXPECT_TRUE(Messages[2].startsWith(QStringLiteral("Cannot open "))) << Messages[2].toStdString();
    EXPECT_EQ(Localized.Project.Locales().size(), 3);   // nothing taken in
}

TEST_F(LocalizationFormTest, RendersInEveryTheme)
{
    for (int style = 0; style < ThemeStyleCount; ++style) {
        TThemeManager::ApplyTheme(TThemeStyle(style));
        Open();
        const QImage image = Form->grab().toImage();
        EXPECT_EQ(image.size(), QSize(780, 520));
        const QString dir = qEnvironmentVariable("TLW_GRAB_DIR");
        if (!dir.isEmpty())
            image.save(dir + QStringLiteral("/localization_%1.png").arg(style));
    }
    TThemeManager::ApplyTheme(tsAmber);
}
