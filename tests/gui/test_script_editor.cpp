// The script editor: reference text, templates appended at the end, the
// caret read-out, the keyword check, and OK/Cancel write-back.

#include "editors/ScriptEditor.h"
#include "editors/ScriptEditorText.h"
#include "shell/ThemeManager.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

TEST(ScriptEditorText, ReferenceSectionsEndWithOneEmptyLine)
{
    const QStringList lines = ScriptEditorText::ReferenceLines();
    ASSERT_EQ(lines.size(), 50);
    EXPECT_EQ(lines.first(), QStringLiteral("=== FALLOUT DIALOGUE SCRIPT REFERENCE ==="));
    EXPECT_EQ(lines.last(), QStringLiteral("  OnDialogueEnd    // Fired at conversation end"));
    EXPECT_EQ(lines[19], QStringLiteral("  add_journal(\"QUEST_ID\", e)// Add journal entry"));
    for (int i = 1; i < lines.size(); ++i)
        if (lines[i].startsWith(QLatin1String("---")))
            EXPECT_TRUE(lines[i - 1].isEmpty() && !lines[i - 2].isEmpty()) << i;
}

TEST(ScriptEditorText, TemplatesAppendAtTheEndAfterAnEmptyLine)
{
    const QString start = ScriptEditorText::TemplateFor(seOnDialogueStart);
    EXPECT_EQ(start, QStringLiteral("procedure OnDialogueStart(npc, player: TEntity);\r\nbegin\r\n"
                                    "  // Called when dialogue begins\r\n  set_npc_attitude(50);  // Neutral\r\nend;"));
    EXPECT_TRUE(ScriptEditorText::TemplateFor(seOnDialogueEnd).contains(QStringLiteral("set_global_var(\"GVAR_MET_NPC\", 1);")));
    EXPECT_EQ(ScriptEditorText::EventIdentifiers().size(), ScriptEventCount);
    for (int e = 0; e < ScriptEventCount; ++e)
        EXPECT_TRUE(ScriptEditorText::TemplateFor(TScriptEvent(e)).startsWith(
            QStringLiteral("procedure ") + ScriptEditorText::EventIdentifiers()[e].mid(2) + QLatin1Char('(')));

    const QString once = ScriptEditorText::AppendTemplate(QString(), seOnDialogueStart);
    EXPECT_EQ(once, QStringLiteral("\r\n") + start);
    EXPECT_EQ(ScriptEditorText::AppendTemplate(once, seOnDialogueStart),
              QStringLiteral("\r\n") + start + QStringLiteral("\r\n\r\n") + start);
    EXPECT_EQ(ScriptEditorText::AppendTemplate(QStringLiteral("x := 1;"), seOnNodeEnter),
              QStringLiteral("x := 1;\r\n\r\n") + ScriptEditorText::TemplateFor(seOnNodeEnter));
}

TEST(ScriptEditorText, ValidationNotes)
{
    struct Case { QString code; QStringList notes; };
    const Case cases[] = {
        { "", { "WARNING: Empty script" } },
        { " \r\n\t", { "WARNING: Empty script" } },
        { "x := 1;", { "Script appears valid (basic check)." } },
        { "BEGIN", { "OK: Found begin block(s)" } },
        { "Procedure P; Begin End;", { "OK: Found procedure definition(s)", "OK: Found end statement(s)", "OK: Found begin block(s)" } },
        { "end", { "Script appears valid (basic check)." } },
    };
    for (const Case& c : cases) {
        QString expected = QStringLiteral("Script Validation:\r\n");
        for (const QString& note : c.notes)
            expected += note + QStringLiteral("\r\n");
        EXPECT_EQ(ScriptEditorText::ValidationMessage(c.code), expected) << c.code.toStdString();
    }
}

TEST(ScriptEditorText, LineInfoAndLineBreaks)
{
    EXPECT_EQ(ScriptEditorText::LineInfoText(0, 0, 1), QStringLiteral("Ln 1  Col 1  Lines: 1"));
    EXPECT_EQ(ScriptEditorText::LineInfoText(2, 4, 7), QStringLiteral("Ln 3  Col 5  Lines: 7"));
    EXPECT_EQ(ScriptEditorText::ToEditorText(QStringLiteral("a\r\nb\rc\nd")), QStringLiteral("a\nb\nc\nd"));
    EXPECT_EQ(ScriptEditorText::FromEditorText(QStringLiteral("a\nb")), QStringLiteral("a\r\nb"));
}

namespace {

void Key(QWidget* target, int key, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

void Type(QWidget* target, const QString& text)
{
    for (QChar c : text)
        Key(target, Qt::Key_A + (c.toUpper().unicode() - 'A'), QString(c));
}

}

class ScriptEditorFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = std::make_unique<TScriptEditorForm>(nullptr);
        Form->SetMessageSink([this](QWidget*, const QString& text) { Messages << text; });
        Form->show();
    }
    std::unique_ptr<TScriptEditorForm> Form;
    QStringList Messages;
};

TEST_F(ScriptEditorFormTest, BuildsItsControls)
{
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Script Editor"));
    EXPECT_EQ(Form->size(), QSize(720, 580));
    EXPECT_EQ(Form->EventList()->count(), ScriptEventCount);
    EXPECT_EQ(Form->EventList()->currentText(), QStringLiteral("seOnDialogueStart"));
    EXPECT_EQ(Form->LineInfo()->text(), QStringLiteral("Ln 1  Col 1"));
    EXPECT_TRUE(Form->Reference()->isReadOnly());
    EXPECT_EQ(Form->Reference()->toPlainText(), ScriptEditorText::ReferenceLines().join('\n'));
    EXPECT_EQ(Form->Tabs()->tabText(0), QStringLiteral("Script Code"));
    EXPECT_EQ(Form->Tabs()->tabText(1), QStringLiteral("Function Reference"));
    EXPECT_EQ(Form->ValidateButton()->text(), QString(QChar(0x2713)) + QStringLiteral(" Validate Script"));
}

TEST_F(ScriptEditorFormTest, InsertTemplateIgnoresTheCaret)
{
    Form->SetCode(QStringLiteral("first\r\nsecond"));
    QTextCursor cursor = Form->Editor()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    Form->Editor()->setTextCursor(cursor);
    Form->EventList()->setCurrentIndex(seOnQuestUpdate);
    Form->InsertButton()->click();
    Form->InsertButton()->click();
    const QString tpl = ScriptEditorText::TemplateFor(seOnQuestUpdate);
    EXPECT_EQ(Form->Code(), QStringLiteral("first\r\nsecond\r\n\r\n") + tpl + QStringLiteral("\r\n\r\n") + tpl);
}

TEST_F(ScriptEditorFormTest, KeyReleaseUpdatesThePosition)
{
    Form->Editor()->setFocus();
    Type(Form->Editor(), QStringLiteral("ab"));
    Key(Form->Editor(), Qt::Key_Return, QStringLiteral("\r"));
    Type(Form->Editor(), QStringLiteral("xyz"));
    EXPECT_EQ(Form->LineInfo()->text(), QStringLiteral("Ln 2  Col 4  Lines: 2"));
    Key(Form->Editor(), Qt::Key_Left);
    EXPECT_EQ(Form->LineInfo()->text(), QStringLiteral("Ln 2  Col 3  Lines: 2"));
}

TEST_F(ScriptEditorFormTest, ValidateShowsOneMessage)
{
    Form->ValidateButton()->click();
    Form->SetCode(QStringLiteral("begin"));
    Form->ValidateButton()->click();
    EXPECT_EQ(Messages, QStringList({ "Script Validation:\r\nWARNING: Empty script\r\n",
                                      "Script Validation:\r\nOK: Found begin block(s)\r\n" }));
}

namespace {

// Runs Execute with the modal loop ended from inside by `finish`.
bool ExecuteAndFinish(QString& code, const std::function<void(TScriptEditorForm*)>& finish)
{
    QTimer::singleShot(0, [finish] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TScriptEditorForm*>(w); form && form->isVisible())
                finish(form);
    });
    return TScriptEditorForm::Execute(nullptr, code);
}

}

TEST(ScriptEditorExecute, OkWritesBackAndCancelLeavesTheCodeAlone)
{
    QString code = QStringLiteral("old\r\ncode");
    EXPECT_FALSE(ExecuteAndFinish(code, [](TScriptEditorForm* form) {
        form->Editor()->setPlainText(QStringLiteral("edited"));
        form->CancelButton()->click();
    }));
    EXPECT_EQ(code, QStringLiteral("old\r\ncode"));

    EXPECT_TRUE(ExecuteAndFinish(code, [](TScriptEditorForm* form) {
        EXPECT_EQ(form->Editor()->toPlainText(), QStringLiteral("old\ncode"));
        form->Editor()->appendPlainText(QStringLiteral("more"));
        form->OkButton()->click();
    }));
    EXPECT_EQ(code, QStringLiteral("old\r\ncode\r\nmore"));
}

TEST_F(ScriptEditorFormTest, RendersInEveryTheme)
{
    for (int style = 0; style < ThemeStyleCount; ++style) {
        TThemeManager::ApplyTheme(TThemeStyle(style));
        SetUp();
        Form->InsertTemplate();
        const QImage image = Form->grab().toImage();
        EXPECT_EQ(image.size(), QSize(720, 580));
        const QString dir = qEnvironmentVariable("TLW_GRAB_DIR");
        if (!dir.isEmpty())
            image.save(dir + QStringLiteral("/script_%1.png").arg(style));
    }
    TThemeManager::ApplyTheme(tsAmber);
}
