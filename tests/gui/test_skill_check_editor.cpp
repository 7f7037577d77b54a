// The skill check editor: the chance it shows, the simulated rolls, and the
// window loading a record, writing it back on OK and leaving it on Cancel.

#include "editors/ModalFormStyle.h"
#include "editors/SkillCheckEditor.h"
#include "shell/ThemeManager.h"
#include "tests/gui/test_node_properties_support.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>

using namespace EditorTest;

namespace {

// Hands out a fixed list of rolls, so a test knows every outcome.
class TScriptedRolls : public TRollSource {
public:
    explicit TScriptedRolls(std::deque<int> rolls) : FRolls(std::move(rolls)) {}
    int NextPercent() override
    {
        const int r = FRolls.front();
        FRolls.pop_front();
        return r;
    }
private:
    std::deque<int> FRolls;
};

struct TChanceCase {
    int Skill, Difficulty, Chance;
};

TEST(SkillChance, FollowsSkillMinusDifficultyWithinFiveToNinetyFive)
{
    const TChanceCase cases[] = {
        { 40, 50, 40 }, { 50, 50, 50 }, { 200, 1, 95 }, { 1, 100, 5 }, { 95, 50, 95 }, { 96, 50, 95 },
        { 5, 50, 5 },   { 4, 50, 5 },   { 60, 40, 70 }, { 10, 0, 60 }, { -2000000000, 2000000000, 5 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(SkillCheckMath::SuccessChance(c.Skill, c.Difficulty), c.Chance)
            << "skill " << c.Skill << " difficulty " << c.Difficulty;
}

TEST(SkillChance, ColourBandsAndFillWidth)
{
    const TTLWTheme t = TThemeManager::ThemeFor(tsCyan);
    const struct { int Chance; TColor Color; } bands[] = {
        { 95, t.ColorSuccess }, { 70, t.ColorSuccess }, { 69, t.ColorWarning }, { 40, t.ColorWarning },
        { 39, t.ColorError },   { 5, t.ColorError },
    };
    for (const auto& b : bands)
        EXPECT_EQ(SkillCheckMath::ChanceColor(b.Chance, t), b.Color) << b.Chance;
    EXPECT_EQ(SkillCheckMath::FillWidth(40, 200), 80);
    EXPECT_EQ(SkillCheckMath::FillWidth(95, 200), 190);
    EXPECT_EQ(SkillCheckMath::FillWidth(33, 150), 50);   // 49.5 rounds up
}

TEST(SkillRolls, PassExactlyBelowTheChanceAndReportBothLines)
{
    TScriptedRolls rolls({ 0, 39, 40, 99, 10, 41, 38, 50, 20, 70 });
    const TRollSimulation sim = SimulateRolls(40, 50, rolls);
    EXPECT_EQ(sim.Letters, QStringLiteral("YYNNYNYNYN"));
    EXPECT_EQ(sim.Passes, 5);
    EXPECT_EQ(sim.Fails, 5);
    EXPECT_EQ(sim.Lines(), QStringList({ QStringLiteral("YYNNYNYNYN  ->  Pass: 5/10  Fail: 5/10"),
                                         QStringLiteral("Chance: 40%  Skill: 40  Difficulty: 50") }));
}

TEST(SkillRolls, SeededSourceIsTheStandardTwisterAndRepeatable)
{
    // MT19937 with its reference seed: 3499211612, 581869302, 3890346734, ...
    TSeededRollSource source(5489u);
    const int expected[] = { 12, 2, 34, 85, 4, 91, 29, 85, 98, 3 };
    for (int e : expected)
        EXPECT_EQ(source.NextPercent(), e);

    TSeededRollSource a(5489u);
    const TRollSimulation sim = SimulateRolls(40, 50, a);
    EXPECT_EQ(sim.Letters, QStringLiteral("YYYNYNYNNY"));
    EXPECT_EQ(sim.Passes, 6);

    TSeededRollSource b(77u), c(77u);
    for (int i = 0; i < 1000; ++i) {
        const int r = b.NextPercent();
        ASSERT_EQ(r, c.NextPercent());
        ASSERT_TRUE(r >= 0 && r < 100);
    }
}

TEST(SkillRolls, AnyChanceGivesTenLettersThatAddUp)
{
    TSeededRollSource source(1234u);
    for (int skill : { 1, 40, 75, 200 }) {
        const TRollSimulation sim = SimulateRolls(skill, 50, source);
        EXPECT_EQ(sim.Letters.size(), 10);
        EXPECT_EQ(sim.Passes + sim.Fails, 10);
        EXPECT_EQ(sim.Letters.count(QLatin1Char('Y')), sim.Passes);
    }
}

class SkillCheckForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        TThemeManager::ApplyTheme(tsAmber);
        Record.Skill = skLockpick;
        Record.Difficulty = 65;
        Record.XPReward = 120;
        Record.CritSuccessBonus = 15;
        Record.SuccessMessage = QStringLiteral("Click.");
        Record.FailureMessage = QStringLiteral("It holds.");
        Record.SuccessNodeID = QStringLiteral("Node004");
        Record.FailureNodeID = QStringLiteral("Node005");
    }
    template <class T> static T* Find(QWidget& form, const char* name)
    {
        T* w = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    TSkillCheck Record;
};

TEST_F(SkillCheckForm, LoadsEveryFieldIntoItsControl)
{
    TSkillCheckEditorForm form(nullptr, Record);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Skill Check Editor"));
    EXPECT_EQ(form.size(), QSize(520, 560));
    EXPECT_EQ(Find<QComboBox>(form, "cmbSkill")->currentText(), QStringLiteral("Lockpick"));
    EXPECT_EQ(Find<QComboBox>(form, "cmbSkill")->count(), SkillTypeCount);
    EXPECT_EQ(Find<QSlider>(form, "trkDifficulty")->value(), 65);
    EXPECT_EQ(Find<QLabel>(form, "lblDiffVal")->text(), QStringLiteral("65%"));
    EXPECT_EQ(Find<QSpinBox>(form, "spnXP")->value(), 120);
    EXPECT_EQ(Find<QSpinBox>(form, "spnCritBonus")->value(), 15);
    EXPECT_EQ(Find<QLineEdit>(form, "edtSuccessMsg")->text(), QStringLiteral("Click."));
    EXPECT_EQ(Find<QLineEdit>(form, "edtFailMsg")->text(), QStringLiteral("It holds."));
    EXPECT_EQ(Find<QLineEdit>(form, "edtSuccessNode")->text(), QStringLiteral("Node004"));
    EXPECT_EQ(Find<QLineEdit>(form, "edtFailNode")->text(), QStringLiteral("Node005"));
    EXPECT_EQ(Find<QSpinBox>(form, "spnSimSkill")->value(), 40);
    EXPECT_EQ(Find<QLabel>(form, "lblProbability")->text(), QStringLiteral("25%"));
}

TEST_F(SkillCheckForm, ChanceDisplayFollowsSkillAndDifficulty)
{
    TSkillCheckEditorForm form(nullptr, Record);
    auto* slider = Find<QSlider>(form, "trkDifficulty");
    auto* skill = Find<QSpinBox>(form, "spnSimSkill");
    auto* fill = Find<QFrame>(form, "pnlProbFill");
    const TTLWTheme& t = TThemeManager::Current();
    const struct { int Skill, Difficulty, Chance, Width; TColor Color; } cases[] = {
        { 40, 50, 40, 80, t.ColorWarning }, { 200, 1, 95, 190, t.ColorSuccess }, { 1, 100, 5, 10, t.ColorError },
        { 70, 50, 70, 140, t.ColorSuccess }, { 69, 50, 69, 138, t.ColorWarning }, { 39, 50, 39, 78, t.ColorError },
    };
    for (const auto& c : cases) {
        skill->setValue(c.Skill);
        slider->setValue(c.Difficulty);
        EXPECT_EQ(form.CurrentChance(), c.Chance);
        EXPECT_EQ(Find<QLabel>(form, "lblProbability")->text(), QString::number(c.Chance) + QLatin1Char('%'));
        EXPECT_EQ(Find<QLabel>(form, "lblDiffVal")->text(), QString::number(c.Difficulty) + QLatin1Char('%'));
        EXPECT_EQ(fill->width(), c.Width);
        EXPECT_EQ(fill->palette().color(QPalette::Window), ModalFormStyle::ToQColor(c.Color)) << c.Chance;
    }
}

TEST_F(SkillCheckForm, RollTenShowsTheScriptedOutcome)
{
    TScriptedRolls rolls({ 0, 1, 2, 3, 4, 99, 98, 97, 96, 95 });
    TSkillCheckEditorForm form(nullptr, Record, false, &rolls);
    Find<QSpinBox>(form, "spnSimSkill")->setValue(40);
    Find<QSlider>(form, "trkDifficulty")->setValue(50);
    Find<QPushButton>(form, "btnRoll")->click();
    EXPECT_EQ(Find<QPlainTextEdit>(form, "memoSimResult")->toPlainText(),
              QStringLiteral("YYYYYNNNNN  ->  Pass: 5/10  Fail: 5/10\nChance: 40%  Skill: 40  Difficulty: 50"));
}

TEST_F(SkillCheckForm, ZeroDifficultyLoadsAsOneAndIsWrittenBackAsOne)
{
    Record.Difficulty = 0;
    TSkillCheck sk = Record;
    ClickLater(QStringLiteral("OK"));
    ASSERT_TRUE(TSkillCheckEditorForm::Execute(nullptr, sk));
    EXPECT_EQ(sk.Difficulty, 1);
}

TEST_F(SkillCheckForm, OkWritesEveryEditedControlBack)
{
    TSkillCheck sk = Record;
    sk.CritSuccessBonus = 3;
    RunWhenModal([](QWidget* form) {
        form->findChild<QComboBox*>(QStringLiteral("cmbSkill"))->setCurrentIndex(skBigGuns);
        form->findChild<QSlider*>(QStringLiteral("trkDifficulty"))->setValue(90);
        form->findChild<QSpinBox*>(QStringLiteral("spnXP"))->setValue(9999);
        form->findChild<QSpinBox*>(QStringLiteral("spnCritBonus"))->setValue(200);
        form->findChild<QLineEdit*>(QStringLiteral("edtSuccessMsg"))->setText(QStringLiteral("Boom."));
        form->findChild<QLineEdit*>(QStringLiteral("edtFailMsg"))->setText(QStringLiteral("Jammed."));
        form->findChild<QLineEdit*>(QStringLiteral("edtSuccessNode"))->setText(QStringLiteral("Node010"));
        form->findChild<QLineEdit*>(QStringLiteral("edtFailNode"))->setText(QString());
        ClickButton(form, QStringLiteral("OK"));
    });
    ASSERT_TRUE(TSkillCheckEditorForm::Execute(nullptr, sk, true));
    EXPECT_EQ(sk.Skill, skBigGuns);
    EXPECT_EQ(sk.Difficulty, 90);
    EXPECT_EQ(sk.XPReward, 9999);
    EXPECT_EQ(sk.CritSuccessBonus, 200);
    EXPECT_EQ(sk.SuccessMessage, QStringLiteral("Boom."));
    EXPECT_EQ(sk.FailureMessage, QStringLiteral("Jammed."));
    EXPECT_EQ(sk.SuccessNodeID, QStringLiteral("Node010"));
    EXPECT_TRUE(sk.FailureNodeID.isEmpty());
}

TEST_F(SkillCheckForm, CancelLeavesTheRecordAlone)
{
    TSkillCheck sk = Record;
    RunWhenModal([](QWidget* form) {
        form->findChild<QSlider*>(QStringLiteral("trkDifficulty"))->setValue(5);
        form->findChild<QLineEdit*>(QStringLiteral("edtSuccessMsg"))->setText(QStringLiteral("changed"));
        ClickButton(form, QStringLiteral("Cancel"));
    });
    EXPECT_FALSE(TSkillCheckEditorForm::Execute(nullptr, sk));
    EXPECT_EQ(sk, Record);
}

TEST_F(SkillCheckForm, OutOfRangeNumbersAreHeldWithinTheControlsRanges)
{
    Record.XPReward = 50000;
    Record.CritSuccessBonus = -4;
    Record.Difficulty = 250;
    TSkillCheckEditorForm form(nullptr, Record);
    form.accept();
    EXPECT_EQ(form.SkillCheck().XPReward, 9999);
    EXPECT_EQ(form.SkillCheck().CritSuccessBonus, 0);
    EXPECT_EQ(form.SkillCheck().Difficulty, 100);
}

TEST_F(SkillCheckForm, EveryThemeFitsTabsInLayoutOrderAndAccessKeysWork)
{
    for (int style = 0; style < ThemeStyleCount; ++style) {
        TThemeManager::ApplyTheme(TThemeStyle(style));
        TSeededRollSource rolls(99u);
        TSkillCheckEditorForm form(nullptr, Record, false, &rolls);
        form.show();
        form.RollTen();
        ExpectNothingCutOff(form);
        SaveGrab(form, QStringLiteral("skill_check_%1.png").arg(style));
        if (style == 0) {
            ExpectTabOrder(form, { "cmbSkill", "trkDifficulty", "spnXP", "spnCritBonus", "edtSuccessMsg",
                                   "edtFailMsg", "edtSuccessNode", "edtFailNode", "spnSimSkill", "btnRoll" });
            ExpectAccessKeyFocuses(form, Qt::Key_X, "spnXP");
            ExpectAccessKeyFocuses(form, Qt::Key_L, "edtFailNode");
        }
    }
    TThemeManager::ApplyTheme(tsAmber);
}

}
