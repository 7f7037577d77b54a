// The float message editor: category lists, list lines and filter, the
// duration in the user's number format, and the window's add, delete,
// duplicate, new-category and save-on-switch behaviour.

#include "editors/FloatMessageEditor.h"
#include "shell/ThemeManager.h"
#include "tests/gui/test_node_properties_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

using namespace EditorTest;

namespace {

TFloatMessage* AddMessage(TDialogueProject& p, const QString& category, const QString& text, int priority = 5,
                          int weight = 1)
{
    auto m = std::make_unique<TFloatMessage>();
    m->Category = category;
    m->Text = text;
    m->Priority = priority;
    m->Weight = weight;
    p.FloatMessages().push_back(std::move(m));
    return p.FloatMessages().back().get();
}

QStringList Items(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QStringList Lines(const QListWidget* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

TEST(FloatMessageRulesTest, CategoryListsAreSortedAndDeduplicatedIgnoringCase)
{
    TDialogueProject p;
    EXPECT_EQ(FloatMessageRules::FilterEntries(p.FloatMessages()), QStringList{ "(All)" });
    EXPECT_EQ(FloatMessageRules::CategoryEntries(p.FloatMessages()),
              QStringList({ "Ambient", "Combat Taunt", "Greeting", "Random" }));

    AddMessage(p, "trade", "a");
    AddMessage(p, "Barks", "b");
    AddMessage(p, "", "c");
    AddMessage(p, "Trade", "d");
    AddMessage(p, "ambient", "e");
    AddMessage(p, "(all)", "f");
    EXPECT_EQ(FloatMessageRules::FilterEntries(p.FloatMessages()),
              QStringList({ "(All)", "ambient", "Barks", "trade" }));
    EXPECT_EQ(FloatMessageRules::CategoryEntries(p.FloatMessages()),
              QStringList({ "ambient", "Barks", "trade", "Combat Taunt", "Greeting", "Random" }));
}

TEST(FloatMessageRulesTest, ListLines)
{
    const struct { const char* Category; const char* Text; int Priority, Weight; QString Line; } cases[] = {
        { "Trade", "Hello", 7, 3, "[Trade] P:7 W:3  Hello" },
        { "", "Hi", 5, 1, "[No Cat] P:5 W:1  Hi" },
        { "Combat", "  \t ", 10, 100, "[Combat] P:10 W:100  (empty)" },
        { "X", "", 1, 1, "[X] P:1 W:1  (empty)" },
        { "Long", "0123456789012345678901234567890123456789012345678901234", 5, 1,
          "[Long] P:5 W:1  01234567890123456789012345678901234567890123456789" },
    };
    for (const auto& c : cases) {
        TFloatMessage m;
        m.Category = c.Category;
        m.Text = c.Text;
        m.Priority = c.Priority;
        m.Weight = c.Weight;
        EXPECT_EQ(FloatMessageRules::ListLine(m), c.Line);
    }
}

TEST(FloatMessageRulesTest, FilterComparesCategoriesExactly)
{
    TDialogueProject p;
    TFloatMessage* a = AddMessage(p, "Trade", "a");
    AddMessage(p, "trade", "b");
    TFloatMessage* c = AddMessage(p, "Trade", "c");
    EXPECT_EQ(FloatMessageRules::Filtered(p.FloatMessages(), "Trade"), (QVector<TFloatMessage*>{ a, c }));
    EXPECT_EQ(FloatMessageRules::Filtered(p.FloatMessages(), "(All)").size(), 3);
    EXPECT_EQ(FloatMessageRules::Filtered(p.FloatMessages(), QString()).size(), 3);
}

TEST(FloatMessageRulesTest, DurationFollowsTheLocaleAndFallsBackToThreeSeconds)
{
    const QLocale c(QLocale::C);
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct { QLocale Locale; const char* Text; float Seconds; } cases[] = {
        { c, "2.5", 2.5f },   { c, " 4 ", 4.0f },    { c, "abc", 3.0f },    { c, "", 3.0f },
        { c, "2,5", 3.0f },   { german, "2,5", 2.5f }, { c, "inf", 3.0f }, { c, "nan", 3.0f },
        { c, "1e40", 3.0f },  { c, "0", 0.0f },
    };
    for (const auto& k : cases)
        EXPECT_FLOAT_EQ(FloatMessageRules::ParseDuration(QString::fromLatin1(k.Text), k.Locale), k.Seconds) << k.Text;
    EXPECT_EQ(FloatMessageRules::FormatDuration(3.0f, c), QStringLiteral("3.0"));
    EXPECT_EQ(FloatMessageRules::FormatDuration(2.54f, german), QStringLiteral("2,5"));
}

TEST(FloatMessageOpsTest, AddDuplicateAndRemove)
{
    TDialogueProject p;
    TFloatMessage* all = FloatMessageOps::Add(p, "Hey", "(All)");
    EXPECT_TRUE(p.Modified());
    EXPECT_EQ(all->Category, QStringLiteral("Ambient"));
    EXPECT_EQ(all->Text, QStringLiteral("Hey"));
    EXPECT_EQ(all->Priority, 5);
    EXPECT_EQ(all->Weight, 1);
    EXPECT_TRUE(all->IsAmbient);
    EXPECT_FLOAT_EQ(all->TimedDuration, 3.0f);
    EXPECT_EQ(FloatMessageOps::Add(p, "", "Trade")->Category, QStringLiteral("Trade"));

    all->LocaleKey = "KEY_HEY";
    all->Condition = "night";
    all->TimedDuration = 4.5f;
    all->IsCombatTaunt = true;
    all->IsContextSensitive = true;
    all->Priority = 9;
    all->Weight = 40;
    const TFloatMessage* copy = FloatMessageOps::Duplicate(p, *all);
    EXPECT_NE(copy->ID, all->ID);
    EXPECT_TRUE(copy->ID.startsWith("N_"));
    EXPECT_EQ(copy->Text, QStringLiteral("Hey (copy)"));
    EXPECT_TRUE(copy->LocaleKey.isEmpty());
    EXPECT_EQ(copy->Category, all->Category);
    EXPECT_EQ(copy->Condition, all->Condition);
    EXPECT_FLOAT_EQ(copy->TimedDuration, 4.5f);
    EXPECT_EQ(copy->Priority, 9);
    EXPECT_EQ(copy->Weight, 40);
    EXPECT_TRUE(copy->IsCombatTaunt && copy->IsContextSensitive && copy->IsAmbient);

    EXPECT_TRUE(FloatMessageOps::Remove(p, all));
    EXPECT_EQ(p.FloatMessages().size(), 2u);
    TFloatMessage stranger;
    EXPECT_FALSE(FloatMessageOps::Remove(p, &stranger));
}

class FloatMessageFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TThemeManager::ApplyTheme(tsAmber);
        QLocale::setDefault(QLocale::c());
    }
    template <class T> static T* Find(QWidget& form, const char* name)
    {
        T* w = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    TDialogueProject P;
};

TEST_F(FloatMessageFormTest, EmptyProjectOpensWithOnlyTheStockChoices)
{
    TFloatMessageForm form(nullptr, &P);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Float Message Editor"));
    EXPECT_EQ(form.size(), QSize(860, 580));
    EXPECT_EQ(Items(Find<QComboBox>(form, "cmbCategoryFilter")), QStringList{ "(All)" });
    EXPECT_EQ(Items(Find<QComboBox>(form, "cmbCategory")),
              QStringList({ "Ambient", "Combat Taunt", "Greeting", "Random" }));
    EXPECT_EQ(Find<QListWidget>(form, "lstMessages")->count(), 0);
    EXPECT_EQ(Find<QLabel>(form, "lblPreview")->text(), QStringLiteral("(no message selected)"));
    EXPECT_EQ(form.CurrentMessage(), nullptr);
}

TEST_F(FloatMessageFormTest, TextTypedIntoTheEmptyPaneBecomesTheNewMessage)
{
    TFloatMessageForm form(nullptr, &P);
    Find<QPlainTextEdit>(form, "memoText")->setPlainText("  Keep moving.  ");
    ClickButton(&form, "+ Add Message");
    ASSERT_EQ(P.FloatMessages().size(), 1u);
    const TFloatMessage& m = *P.FloatMessages()[0];
    EXPECT_EQ(m.Text, QStringLiteral("Keep moving."));
    EXPECT_EQ(m.Category, QStringLiteral("Ambient"));
    EXPECT_EQ(m.Priority, 5);
    EXPECT_EQ(m.Weight, 1);
    EXPECT_EQ(form.CurrentMessage(), &m);
    EXPECT_EQ(Find<QListWidget>(form, "lstMessages")->currentRow(), 0);
    EXPECT_EQ(Find<QLabel>(form, "lblPreview")->text(), QStringLiteral("\"Keep moving.\""));
    EXPECT_TRUE(P.Modified());
}

TEST_F(FloatMessageFormTest, ListsByCategoryAndAddsUnderTheFilter)
{
    AddMessage(P, "Trade", "Hello", 7, 3);
    AddMessage(P, "Combat", "Die!");
    AddMessage(P, "Trade", "Buy something");
    TFloatMessageForm form(nullptr, &P);
    auto* list = Find<QListWidget>(form, "lstMessages");
    EXPECT_EQ(Lines(list), QStringList({ "[Trade] P:7 W:3  Hello", "[Combat] P:5 W:1  Die!",
                                         "[Trade] P:5 W:1  Buy something" }));
    EXPECT_EQ(form.CurrentMessage(), P.FloatMessages()[0].get());

    auto* filter = Find<QComboBox>(form, "cmbCategoryFilter");
    EXPECT_EQ(Items(filter), QStringList({ "(All)", "Combat", "Trade" }));
    filter->setCurrentIndex(2);
    EXPECT_EQ(Lines(list), QStringList({ "[Trade] P:7 W:3  Hello", "[Trade] P:5 W:1  Buy something" }));

    ClickButton(&form, "+ Add Message");
    ASSERT_EQ(P.FloatMessages().size(), 4u);
    const TFloatMessage* added = P.FloatMessages()[3].get();
    EXPECT_EQ(added->Category, QStringLiteral("Trade"));
    EXPECT_TRUE(added->Text.isEmpty());   // a message was current, so the pane text is not taken
    EXPECT_EQ(form.CurrentMessage(), added);
    EXPECT_EQ(list->currentRow(), 2);
}

TEST_F(FloatMessageFormTest, SwitchingLinesSavesEveryFieldOfThePane)
{
    TFloatMessage* first = AddMessage(P, "Trade", "Hello");
    AddMessage(P, "Trade", "Other");
    TFloatMessageForm form(nullptr, &P);
    Find<QPlainTextEdit>(form, "memoText")->setPlainText("Welcome, stranger.");
    EXPECT_EQ(Find<QLabel>(form, "lblPreview")->text(), QStringLiteral("\"Welcome, stranger.\""));
    Find<QComboBox>(form, "cmbCategory")->setEditText("Greeting");
    Find<QSpinBox>(form, "spnPriority")->setValue(9);
    Find<QSpinBox>(form, "spnWeight")->setValue(20);
    Find<QLineEdit>(form, "edtDuration")->setText("4.5");
    Find<QLineEdit>(form, "edtCondition")->setText("daytime");
    Find<QLineEdit>(form, "edtLocaleKey")->setText("FLT_WELCOME");
    Find<QCheckBox>(form, "chkAmbient")->setChecked(false);
    Find<QCheckBox>(form, "chkCombatTaunt")->setChecked(true);
    Find<QCheckBox>(form, "chkContextSensitive")->setChecked(true);
    const QString id = first->ID;
    P.SetModified(false);

    Find<QListWidget>(form, "lstMessages")->setCurrentRow(1);
    EXPECT_EQ(first->Text, QStringLiteral("Welcome, stranger."));
    EXPECT_EQ(first->Category, QStringLiteral("Greeting"));
    EXPECT_EQ(first->Priority, 9);
    EXPECT_EQ(first->Weight, 20);
    EXPECT_FLOAT_EQ(first->TimedDuration, 4.5f);
    EXPECT_EQ(first->Condition, QStringLiteral("daytime"));
    EXPECT_EQ(first->LocaleKey, QStringLiteral("FLT_WELCOME"));
    EXPECT_FALSE(first->IsAmbient);
    EXPECT_TRUE(first->IsCombatTaunt);
    EXPECT_TRUE(first->IsContextSensitive);
    EXPECT_EQ(first->ID, id);
    EXPECT_TRUE(P.Modified());
    EXPECT_EQ(Find<QPlainTextEdit>(form, "memoText")->toPlainText(), QStringLiteral("Other"));
}

TEST_F(FloatMessageFormTest, DurationIsShownWithOneDecimalAndLettersSaveAsThreeSeconds)
{
    TFloatMessage* first = AddMessage(P, "A", "one");
    first->TimedDuration = 2.24f;
    AddMessage(P, "A", "two");
    TFloatMessageForm form(nullptr, &P);
    auto* duration = Find<QLineEdit>(form, "edtDuration");
    EXPECT_EQ(duration->text(), QStringLiteral("2.2"));
    duration->setText("soon");
    Find<QListWidget>(form, "lstMessages")->setCurrentRow(1);
    EXPECT_FLOAT_EQ(first->TimedDuration, 3.0f);
}

TEST_F(FloatMessageFormTest, LoadingKeepsTheCaseOfACategory)
{
    AddMessage(P, "Ambient", "one");
    TFloatMessage* second = AddMessage(P, "ambient", "two");
    TFloatMessageForm form(nullptr, &P);
    Find<QListWidget>(form, "lstMessages")->setCurrentRow(1);
    EXPECT_EQ(Find<QComboBox>(form, "cmbCategory")->currentText(), QStringLiteral("ambient"));
    Find<QListWidget>(form, "lstMessages")->setCurrentRow(0);
    EXPECT_EQ(second->Category, QStringLiteral("ambient"));
}

TEST_F(FloatMessageFormTest, DeletingTheSecondOfThreeKeepsTheFirstWhole)
{
    AddMessage(P, "A", "first text");
    AddMessage(P, "A", "second text");
    AddMessage(P, "A", "third text");
    TFloatMessageForm form(nullptr, &P);
    auto* list = Find<QListWidget>(form, "lstMessages");
    list->setCurrentRow(1);
    ClickButton(&form, "Delete");
    ASSERT_EQ(P.FloatMessages().size(), 2u);
    EXPECT_EQ(P.FloatMessages()[0]->Text, QStringLiteral("first text"));
    EXPECT_EQ(P.FloatMessages()[1]->Text, QStringLiteral("third text"));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(Find<QPlainTextEdit>(form, "memoText")->toPlainText(), QStringLiteral("first text"));
    form.Done();
    EXPECT_EQ(P.FloatMessages()[0]->Text, QStringLiteral("first text"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(FloatMessageFormTest, DeletingTheLastMessageEmptiesThePane)
{
    AddMessage(P, "A", "only");
    TFloatMessageForm form(nullptr, &P);
    ClickButton(&form, "Delete");
    EXPECT_TRUE(P.FloatMessages().empty());
    EXPECT_EQ(form.CurrentMessage(), nullptr);
    EXPECT_TRUE(Find<QPlainTextEdit>(form, "memoText")->toPlainText().isEmpty());
    EXPECT_EQ(Find<QLabel>(form, "lblPreview")->text(), QStringLiteral("(no message selected)"));
    ClickButton(&form, "Delete");   // nothing selected: nothing happens
    ClickButton(&form, "Duplicate");
    EXPECT_TRUE(P.FloatMessages().empty());
}

TEST_F(FloatMessageFormTest, DuplicateGetsANewIdAndTheFirstLineIsSelected)
{
    AddMessage(P, "A", "first");
    TFloatMessage* second = AddMessage(P, "A", "second");
    second->LocaleKey = "KEY_2";
    TFloatMessageForm form(nullptr, &P);
    auto* list = Find<QListWidget>(form, "lstMessages");
    list->setCurrentRow(1);
    Find<QPlainTextEdit>(form, "memoText")->setPlainText("second, edited");
    ClickButton(&form, "Duplicate");
    ASSERT_EQ(P.FloatMessages().size(), 3u);
    const TFloatMessage* copy = P.FloatMessages()[2].get();
    EXPECT_EQ(second->Text, QStringLiteral("second, edited"));
    EXPECT_EQ(copy->Text, QStringLiteral("second, edited (copy)"));
    EXPECT_TRUE(copy->LocaleKey.isEmpty());
    EXPECT_NE(copy->ID, second->ID);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(form.CurrentMessage(), P.FloatMessages()[0].get());
}

TEST_F(FloatMessageFormTest, NewCategoryIsOfferedOnceInBothLists)
{
    AddMessage(P, "Trade", "x");
    TFloatMessageForm form(nullptr, &P);
    auto* category = Find<QComboBox>(form, "cmbCategory");
    auto* filter = Find<QComboBox>(form, "cmbCategoryFilter");
    const int categories = category->count();
    form.AddCategory("   ");
    EXPECT_EQ(category->count(), categories);
    form.AddCategory("Vendor");
    EXPECT_EQ(category->itemText(category->count() - 1), QStringLiteral("Vendor"));
    EXPECT_EQ(filter->itemText(filter->count() - 1), QStringLiteral("Vendor"));
    EXPECT_EQ(category->currentText(), QStringLiteral("Vendor"));
    form.AddCategory("vendor");
    EXPECT_EQ(category->count(), categories + 1);
    EXPECT_EQ(category->currentText(), QStringLiteral("vendor"));
    form.Done();
    EXPECT_EQ(P.FloatMessages()[0]->Category, QStringLiteral("vendor"));
}

TEST_F(FloatMessageFormTest, CatButtonAsksForTheName)
{
    TFloatMessageForm form(nullptr, &P);
    RunWhenModal([](QWidget* box) {
        auto* input = qobject_cast<QInputDialog*>(box);
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->windowTitle(), QStringLiteral("New Category"));
        EXPECT_EQ(input->labelText(), QStringLiteral("Category name:"));
        input->setTextValue("Scavenger");
        input->accept();
    });
    ClickButton(&form, "+Cat");
    EXPECT_EQ(Find<QComboBox>(form, "cmbCategory")->currentText(), QStringLiteral("Scavenger"));
    EXPECT_TRUE(Items(Find<QComboBox>(form, "cmbCategoryFilter")).contains("Scavenger"));
}

TEST_F(FloatMessageFormTest, DoneSavesTheLastEditsButClosingTheFrameDoesNot)
{
    TFloatMessage* m = AddMessage(P, "A", "before");
    RunWhenModal([](QWidget* form) {
        form->findChild<QPlainTextEdit*>("memoText")->setPlainText("after Done");
        ClickButton(form, "Done");
    });
    EXPECT_TRUE(TFloatMessageForm::Execute(nullptr, &P));
    EXPECT_EQ(m->Text, QStringLiteral("after Done"));

    RunWhenModal([](QWidget* form) {
        form->findChild<QPlainTextEdit*>("memoText")->setPlainText("dropped");
        form->close();
    });
    EXPECT_FALSE(TFloatMessageForm::Execute(nullptr, &P));
    EXPECT_EQ(m->Text, QStringLiteral("after Done"));
    EXPECT_FALSE(TFloatMessageForm::Execute(nullptr, nullptr));
}

TEST_F(FloatMessageFormTest, EveryThemeFitsTabsInLayoutOrderAndAccessKeysWork)
{
    AddMessage(P, "Trade", "Hello there, wanderer. Care to trade some caps for supplies?", 7, 3);
    AddMessage(P, "Combat", "You'll regret that!");
    for (int style = 0; style < ThemeStyleCount; ++style) {
        TThemeManager::ApplyTheme(TThemeStyle(style));
        TFloatMessageForm form(nullptr, &P);
        form.show();
        ExpectNothingCutOff(form);
        SaveGrab(form, QStringLiteral("float_message_%1.png").arg(style));
        if (style == 0) {
            ExpectTabOrder(form, { "cmbCategoryFilter", "btnAddCategory", "lstMessages", "memoText", "cmbCategory",
                                   "spnPriority", "spnWeight", "edtDuration", "edtCondition", "edtLocaleKey",
                                   "chkAmbient", "chkCombatTaunt", "chkContextSensitive", "btnAdd", "btnDelete",
                                   "btnDuplicate", "btnDone" });
            ExpectAccessKeyFocuses(form, Qt::Key_L, "edtLocaleKey");
            ExpectAccessKeyFocuses(form, Qt::Key_W, "spnWeight");
        }
    }
    TThemeManager::ApplyTheme(tsAmber);
}

}
