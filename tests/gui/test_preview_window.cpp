// The preview window: buttons from option entries, keys, inspector edits,
// portrait, all without opening a modal loop.

#include "preview/gui/PreviewForm.h"
#include "ai/PngCodec.h"
#include "shell/ThemeManager.h"
#include "tests/gui/test_node_properties_support.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/PngBytes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

class TFixedRandom : public IPreviewRandom {
public:
    int Below(int) override { return 0; }
};

class PreviewWindowTest : public ::testing::Test {
protected:
    PreviewWindowTest()
    {
        FProject.SetName("Tavern");
        FStart = FProject.AddNode(ntNPCDialogue);
        FStart->SetText("Welcome, stranger.");
        FStart->SetSpeaker("Barkeep");
        FProject.SetStartNodeID(FStart->ID());
        FNext = FProject.AddNode(ntNPCDialogue);
        FNext->SetText("Second line.");
    }
    void AddOptions(int count)
    {
        for (int i = 0; i < count; ++i) {
            TPlayerOption* o = FStart->AddOption();
            o->Text = QStringLiteral("Answer %1").arg(i + 1);
            o->TargetNodeID = FNext->ID();
        }
    }
    std::unique_ptr<TPreviewForm> Open()
    {
        auto form = std::make_unique<TPreviewForm>(nullptr, &FProject, &FRandom);
        form->resize(1100, 700);
        form->Start(QString());
        return form;
    }
    static void Press(QWidget* target, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key >= Qt::Key_1 && key <= Qt::Key_9 ? QString(QChar('1' + key - Qt::Key_1)) : QString());
        QApplication::sendEvent(target, &press);
    }

    TDialogueProject FProject;
    TDialogueNode* FStart = nullptr;
    TDialogueNode* FNext = nullptr;
    TFixedRandom FRandom;
};

}

TEST_F(PreviewWindowTest, ButtonsFollowTheEntries)
{
    AddOptions(2);
    auto form = Open();
    EXPECT_EQ(form->windowTitle(), "Dialogue Preview  -  Tavern");
    const auto& buttons = form->OptionButtons();
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_EQ(buttons[0]->geometry().top(), 4);
    EXPECT_EQ(buttons[1]->geometry().top(), 50);
    EXPECT_EQ(buttons[2]->geometry().top(), 96);
    EXPECT_EQ(buttons[2]->text(), "Goodbye.");
    EXPECT_EQ(form->SpeakerLabel()->text(), "Barkeep");
    EXPECT_TRUE(form->DialoguePane()->toPlainText().contains("Welcome, stranger."));
}

TEST_F(PreviewWindowTest, DigitKeysChooseByPosition)
{
    AddOptions(2);
    auto form = Open();
    Press(form.get(), Qt::Key_1);
    EXPECT_EQ(form->Engine().CurrentNode(), FNext);
    EXPECT_GT(form->LogList()->count(), 0);

    auto again = Open();
    again->show();
    Press(again->InventoryEdit(), Qt::Key_3);   // taken by the window, not typed
    EXPECT_TRUE(again->InventoryEdit()->text().isEmpty());
    EXPECT_EQ(again->result(), QDialog::Accepted) << "the third button is Goodbye.";
}

TEST_F(PreviewWindowTest, EnterChoosesFirstOnlyWhenEnabled)
{
    AddOptions(1);
    FStart->PlayerOptions()[0]->KarmaRequired = 500;   // simulated karma 0: unavailable
    auto form = Open();
    ASSERT_FALSE(form->OptionButtons().isEmpty());
    const bool enabled = form->OptionButtons()[0]->isEnabled();
    Press(form.get(), Qt::Key_Return);
    if (enabled)
        EXPECT_EQ(form->Engine().CurrentNode(), FNext);
    else
        EXPECT_EQ(form->Engine().CurrentNode(), FStart);
}

TEST_F(PreviewWindowTest, InspectorEdits)
{
    AddOptions(1);
    auto form = Open();
    QString answer;
    form->InputBox = [&answer](const QString&, const QString&, QString& value) {
        value = answer;
        return true;
    };
    // Skills: Speech to 75, then "abc" reads as 40.
    answer = "75";
    form->EditSkillRow(0);
    EXPECT_EQ(form->SkillsGrid()->item(0, 1)->text(), "75");
    EXPECT_EQ(form->Engine().GetSimSkill("Speech"), 75);
    answer = "abc";
    form->EditSkillRow(0);
    EXPECT_EQ(form->Engine().GetSimSkill("Speech"), 40);

    // KARMA row.
    int karmaRow = -1;
    for (int r = 0; r < form->VarsGrid()->rowCount(); ++r)
        if (form->VarsGrid()->item(r, 0)->text() == "KARMA")
            karmaRow = r;
    ASSERT_GE(karmaRow, 0);
    answer = "-50";
    form->EditVarRow(karmaRow);
    EXPECT_EQ(form->Engine().SimKarma(), -50);
    EXPECT_EQ(form->VarsGrid()->item(karmaRow, 1)->text(), "-50");
    answer = "";
    form->EditVarRow(karmaRow);
    EXPECT_EQ(form->Engine().SimKarma(), -50) << "an empty answer changes nothing";

    // Inventory: same item twice, remove one.
    for (int i = 0; i < 2; ++i) {
        form->InventoryEdit()->setText("  Stimpak ");
        form->AddInventoryItem();
    }
    EXPECT_EQ(form->InventoryList()->count(), 2);
    EXPECT_EQ(form->InventoryList()->item(0)->text(), "Stimpak");
    form->InventoryList()->setCurrentRow(0);
    form->RemoveInventoryItem();
    EXPECT_EQ(form->InventoryList()->count(), 1);
    EXPECT_EQ(form->Engine().SimInventory().size(), 1);
}

TEST_F(PreviewWindowTest, IntelligenceRowHidesAndShowsOptions)
{
    AddOptions(2);
    FStart->PlayerOptions()[0]->IntelligenceRequired = 7;
    FStart->PlayerOptions()[1]->IntelligenceRequired = -3;
    FStart->PlayerOptions()[1]->Reaction = rcBad;
    TPlayerOption* again = FStart->AddOption();
    again->Text = "Again";
    again->TargetNodeID = FStart->ID();
    auto form = Open();
    int row = -1;
    for (int r = 0; r < form->VarsGrid()->rowCount(); ++r)
        if (form->VarsGrid()->item(r, 0)->text() == "INTELLIGENCE")
            row = r;
    ASSERT_GE(row, 0);
    EXPECT_EQ(form->VarsGrid()->item(row, 1)->text(), "5");
    ASSERT_EQ(form->OptionButtons().size(), 2) << "at 5 neither the clever nor the dim-witted answer shows";
    EXPECT_EQ(form->OptionButtons()[0]->text(), "3.  Again");

    form->InputBox = [](const QString& title, const QString& prompt, QString& value) {
        EXPECT_EQ(title, "Edit Variable");
        EXPECT_EQ(prompt, "INTELLIGENCE:");
        value = "2";
        return true;
    };
    form->EditVarRow(row);
    EXPECT_EQ(form->VarsGrid()->item(row, 1)->text(), "2");
    EXPECT_EQ(form->Engine().SimIntelligence(), 2);
    Press(form.get(), Qt::Key_1);   // "Again": the node is shown anew for the edited stat
    ASSERT_EQ(form->OptionButtons().size(), 3);
    EXPECT_EQ(form->OptionButtons()[0]->text(), "2.  Answer 2  [INT <= 3]  [Bad]");
    EXPECT_EQ(form->OptionButtons()[1]->text(), "3.  Again");
}

TEST_F(PreviewWindowTest, MissingPortraitShowsPlaceholder)
{
    FStart->SetPortraitFile("/no/such/portrait.png");
    auto form = Open();
    const QImage shown = form->PortraitLabel()->pixmap().toImage();
    EXPECT_EQ(shown, TPreviewForm::PlaceholderPortrait().toImage());
}

// Portraits are read by content through the bounded PNG decoder: a file
// whose chunk claims 2 GB once cost that much and seconds to show.
TEST_F(PreviewWindowTest, PortraitsAreReadByContentInBoundedMemory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString good = dir.filePath("portrait.img");
    TestSupport::WriteFile(good, PngCodec::Encode(TRgbaImage(4, 2, RGBToColor(255, 0, 0))));
    FStart->SetPortraitFile(good);
    EXPECT_NE(Open()->PortraitLabel()->pixmap().toImage(), TPreviewForm::PlaceholderPortrait().toImage());

    const QString hostile = dir.filePath("hostile.png");
    TestSupport::WriteFile(hostile, TestSupport::PngClaimingTwoGigabytes("tEXt"));
    FStart->SetPortraitFile(hostile);
    QImage shown;
    const long growthKb = TestSupport::PeakGrowthHereKb([&] { shown = Open()->PortraitLabel()->pixmap().toImage(); });
    EXPECT_EQ(shown, TPreviewForm::PlaceholderPortrait().toImage());
    ASSERT_GE(growthKb, 0);
    EXPECT_LT(growthKb, 256 * 1024);
}

TEST_F(PreviewWindowTest, EmptyProjectOpensWithoutNode)
{
    TDialogueProject empty;
    TPreviewForm form(nullptr, &empty, &FRandom);
    form.Start(QString());
    EXPECT_EQ(form.Engine().CurrentNode(), nullptr);
    EXPECT_EQ(form.NodeInfoLabel()->text(), "Node: -");
    Press(&form, Qt::Key_1);
    Press(&form, Qt::Key_Return);
}

TEST_F(PreviewWindowTest, Screenshot)
{
    AddOptions(2);
    auto form = Open();
    form->show();
    QApplication::processEvents();
    const QString path = qEnvironmentVariable("TALLOWIN_SCREENSHOT_DIR");
    if (!path.isEmpty())
        form->grab().save(path + "/preview.png");
    EXPECT_FALSE(form->grab().isNull());
}

// Every theme, with the tags of an option's requirements and reaction and
// the INTELLIGENCE row showing, saved for a look by eye.
TEST_F(PreviewWindowTest, TaggedOptionsInEveryTheme)
{
    AddOptions(3);
    TPlayerOption* clever = FStart->PlayerOptions()[0].get();
    clever->IntelligenceRequired = 4;
    clever->Reaction = rcGood;
    clever->HasSkillCheck = true;
    clever->SkillCheck.Difficulty = 60;
    FStart->PlayerOptions()[1]->Reaction = rcBad;
    FStart->PlayerOptions()[2]->IntelligenceRequired = 8;   // above the starting 5: left out
    FStart->PlayerOptions()[2]->ItemRequired = "Rope";
    for (int style = 0; style < ThemeStyleCount; ++style) {
        TThemeManager::ApplyTheme(TThemeStyle(style));
        auto form = Open();
        form->show();
        QApplication::processEvents();
        const auto& buttons = form->OptionButtons();
        ASSERT_EQ(buttons.size(), 3);
        EXPECT_EQ(buttons[0]->text(), "1.  Answer 1  [Speech 60%]  [INT 4]  [Good]");
        EXPECT_EQ(buttons[1]->text(), "2.  Answer 2  [Bad]");
        for (QPushButton* b : buttons)
            EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text())) << b->text().toStdString();
        const int statRow = form->VarsGrid()->rowCount() - 1;
        EXPECT_EQ(form->VarsGrid()->item(statRow, 0)->text(), "INTELLIGENCE");
        EXPECT_GE(form->VarsGrid()->columnWidth(0),
                  form->VarsGrid()->fontMetrics().horizontalAdvance("INTELLIGENCE"));
        EditorTest::SaveGrab(*form, QStringLiteral("preview_%1.png").arg(style));
    }
    TThemeManager::ApplyTheme(tsAmber);
}
