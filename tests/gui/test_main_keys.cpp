// The main window's keyboard: every shortcut pressed as a real key on the
// canvas reaches its command, and a few of them are followed to their
// effect on the project.

#include "canvas/NodeCanvas.h"
#include "shell/NodeTextBox.h"

#include "test_main_support.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace MainTest;

namespace {

class MainKeys : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        Window->show();
        Activate();
    }

    void Activate()
    {
        Window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
        Canvas()->setFocus();
    }

    TNodeCanvas* Canvas() const { return Window->findChild<TNodeCanvas*>(); }

    void Press(const QKeySequence& key) const
    {
        const QKeyCombination combination = key[0];
        QTest::keyClick(Canvas(), combination.key(), combination.keyboardModifiers());
    }
};

// Closes whatever modal window a command opened, so a key that opens one
// does not stop the test.
void CloseModalWindowsSoon()
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    timer->start(20);
    QTimer::singleShot(3000, timer, &QObject::deleteLater);
}

} // namespace

TEST_F(MainKeys, EveryShortcutTriggersItsOwnCommand)
{
    const struct {
        const char* Keys;
        const char* Action;
    } cases[] = {
        {"Ctrl+N", "miNewProject"},       {"Ctrl+O", "miOpenProject"},   {"Ctrl+S", "miSave"},
        {"Ctrl+Shift+S", "miSaveAs"},     {"Ctrl+A", "miSelectAll"},        {"Del", "miDeleteSelected"},   {"Ctrl+Del", "actCtrlDelete"},
        {"Ctrl+E", "actEditProperties"},  {"Ctrl+G", "miShowGrid"},      {"Ctrl+Shift+G", "miSnapToGrid"},
        {"Ctrl+=", "miZoomIn"},           {"Ctrl+-", "miZoomOut"},       {"Ctrl+F", "miFitAll"},
        {"Ctrl+P", "miPreview"},          {"Ctrl+Shift+V", "miValidation"},
    };
    CloseModalWindowsSoon();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Keys);
        QAction* action = Action(QString::fromLatin1(c.Action));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(c.Keys)));
        QSignalSpy triggered(action, &QAction::triggered);
        Press(QKeySequence(QString::fromLatin1(c.Keys)));
        EXPECT_EQ(triggered.count(), 1);
        // A window the key opened and closed again may have taken the focus.
        Activate();
    }
}

TEST_F(MainKeys, SelectDeleteUndoAndRedoByKeys)
{
    // Undo and Redo are off until there is something to take back.
    EXPECT_FALSE(Action(QStringLiteral("miUndo"))->isEnabled());
    Window->AddNodeOfType(ntNPCDialogue);
    Window->AddNodeOfType(ntPlayerReply);
    ASSERT_EQ(Window->Project()->NodeCount(), 2);
    const QString before = DocumentText(*Window->Project());

    Press(QKeySequence(QStringLiteral("Ctrl+A")));
    Dialogs->Answers.push_back(daYes);
    Press(QKeySequence(Qt::Key_Delete));
    ASSERT_EQ(Window->Project()->NodeCount(), 0);
    EXPECT_EQ(Dialogs->Questions.last(), QStringLiteral("Delete 2 selected node(s)?"));

    Press(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(DocumentText(*Window->Project()), before);
    Press(QKeySequence(QStringLiteral("Ctrl+Y")));
    EXPECT_EQ(Window->Project()->NodeCount(), 0);
    Press(QKeySequence(QStringLiteral("Ctrl+Z")));
    ASSERT_EQ(Window->Project()->NodeCount(), 2);

    // Ctrl+Del is the second delete key; a No keeps the nodes.
    Press(QKeySequence(QStringLiteral("Ctrl+A")));
    Dialogs->Answers.push_back(daNo);
    Press(QKeySequence(QStringLiteral("Ctrl+Del")));
    EXPECT_EQ(Window->Project()->NodeCount(), 2);
    Dialogs->Answers.push_back(daYes);
    Press(QKeySequence(QStringLiteral("Ctrl+Del")));
    EXPECT_EQ(Window->Project()->NodeCount(), 0);
}

TEST_F(MainKeys, TypingInTheNodeTextIsOneUndoStep)
{
    Window->AddNodeOfType(ntNPCDialogue);
    const QString before = DocumentText(*Window->Project());
    Window->CanvasNodeSelected(QStringLiteral("Node001"));
    auto* memo = Window->findChild<QPlainTextEdit*>(QStringLiteral("memoNodeText"));
    ASSERT_NE(memo, nullptr);
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("Halt!"));
    EXPECT_EQ(Window->Project()->NodeAt(0)->Text(), QStringLiteral("Halt!"));
    const QString typed = DocumentText(*Window->Project());

    Activate();   // back on the canvas, where Ctrl+Z is the window's
    Press(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(DocumentText(*Window->Project()), before);
    EXPECT_EQ(memo->toPlainText(), QString());
    Press(QKeySequence(QStringLiteral("Ctrl+Y")));
    EXPECT_EQ(DocumentText(*Window->Project()), typed);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Halt!"));
}

// A text longer than the panel's box is shown by its first part; typing
// there changes that part of the node's text and keeps the rest as stored,
// line ends included, through saving and undo.
TEST_F(MainKeys, LongNodeTextIsEditedThroughItsFirstPart)
{
    Window->AddNodeOfType(ntNPCDialogue);
    QString text = QStringLiteral("Once upon a time\r\n");
    while (text.size() < 3 * TNodeTextBox::ShownLength)
        text += QStringLiteral("the caravan left at dawn\r\n");
    text += QStringLiteral("THE END");
    Window->Project()->NodeAt(0)->SetText(text);
    const QString before = DocumentText(*Window->Project());
    Window->CanvasNodeSelected(QStringLiteral("Node001"));
    auto* memo = Window->findChild<QPlainTextEdit*>(QStringLiteral("memoNodeText"));
    auto* caption = Window->findChild<QLabel*>(QStringLiteral("lblNodeTextCaption"));
    ASSERT_NE(memo, nullptr);
    ASSERT_NE(caption, nullptr);
    const qsizetype cut = TNodeTextBox::CutLength(text);
    EXPECT_LE(cut, TNodeTextBox::ShownLength);
    QString shownPart = text.left(cut);
    shownPart.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(memo->toPlainText(), shownPart);
    EXPECT_EQ(caption->text(), QStringLiteral("Text (first %1 of %2 characters):").arg(cut).arg(text.size()));

    memo->setFocus();
    memo->moveCursor(QTextCursor::Start);
    QTest::keyClicks(memo, QStringLiteral("Halt! "));
    const QString typed = Window->Project()->NodeAt(0)->Text();
    EXPECT_EQ(typed, QStringLiteral("Halt! ") + shownPart + text.mid(cut));
    EXPECT_EQ(caption->text(),
              QStringLiteral("Text (first %1 of %2 characters):").arg(shownPart.size() + 6).arg(typed.size()));

    Dialogs->SaveFiles.push_back(Path(QStringLiteral("long.tlw")));
    Trigger(QStringLiteral("miSaveAs"));
    TDialogueProject reread;
    ASSERT_TRUE(reread.LoadFromFile(Path(QStringLiteral("long.tlw"))));
    EXPECT_EQ(reread.NodeAt(0)->Text(), typed);

    Activate();
    Press(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(DocumentText(*Window->Project()), before);
    EXPECT_EQ(memo->toPlainText(), shownPart);
}

TEST_F(MainKeys, ShortNodeTextIsShownWholeUnderAPlainCaption)
{
    Window->AddNodeOfType(ntNPCDialogue);
    Window->Project()->NodeAt(0)->SetText(QStringLiteral("Halt!\r\nWho goes there?"));
    Window->CanvasNodeSelected(QStringLiteral("Node001"));
    auto* memo = Window->findChild<QPlainTextEdit*>(QStringLiteral("memoNodeText"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Halt!\nWho goes there?"));
    EXPECT_EQ(Window->findChild<QLabel*>(QStringLiteral("lblNodeTextCaption"))->text(), QStringLiteral("Text:"));
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral("!"));
    EXPECT_EQ(Window->Project()->NodeAt(0)->Text(), QStringLiteral("Halt!\nWho goes there?!"));
}

TEST_F(MainKeys, ArrowKeysInTheTreeSelectNodes)
{
    Window->AddNodeOfType(ntNPCDialogue);
    Window->AddNodeOfType(ntNPCDialogue);
    auto* tree = Window->findChild<QTreeWidget*>(QStringLiteral("tvProject"));
    ASSERT_NE(tree, nullptr);
    tree->setFocus();
    QTreeWidgetItem* group = tree->topLevelItem(0)->child(0);
    tree->setCurrentItem(group);
    QTest::keyClick(tree, Qt::Key_Right);   // opens the group
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(Window->SelectedNodeID(), QStringLiteral("Node001"));
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(Window->SelectedNodeID(), QStringLiteral("Node002"));
    EXPECT_EQ(Window->findChild<QLabel*>(QStringLiteral("lblNodeID"))->text(), QStringLiteral("Node002"));
    // Moving onto a group leaves the selection alone.
    QTest::keyClick(tree, Qt::Key_Up);
    QTest::keyClick(tree, Qt::Key_Up);
    EXPECT_EQ(Window->SelectedNodeID(), QStringLiteral("Node001"));
}

TEST_F(MainKeys, ViewTogglesFollowTheirKeys)
{
    QAction* grid = Action(QStringLiteral("miShowGrid"));
    QAction* snap = Action(QStringLiteral("miSnapToGrid"));
    ASSERT_TRUE(grid->isChecked());
    ASSERT_TRUE(snap->isChecked());
    Press(QKeySequence(QStringLiteral("Ctrl+G")));
    EXPECT_FALSE(grid->isChecked());
    Press(QKeySequence(QStringLiteral("Ctrl+Shift+G")));
    EXPECT_FALSE(snap->isChecked());
    Press(QKeySequence(QStringLiteral("Ctrl+G")));
    EXPECT_TRUE(grid->isChecked());
}

TEST_F(MainKeys, SaveKeyAsksForANameOnlyTheFirstTime)
{
    const QString path = Path(QStringLiteral("keys.tlw"));
    Dialogs->SaveFiles.push_back(path);
    Press(QKeySequence(QStringLiteral("Ctrl+S")));
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(Dialogs->Titles.size(), 1);
    Window->AddNodeOfType(ntComment);
    Press(QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(Dialogs->Titles.size(), 1);
    EXPECT_FALSE(Window->Project()->Modified());
}
