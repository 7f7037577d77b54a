// The settings window and the splash image.

#include "project/AppSettings.h"
#include "shell/SettingsForm.h"
#include "shell/SplashForm.h"

#include "tests/gui/test_ai_window_support.h"
#include "tests/support/TestSupport.h"

#include "ai/PngCodec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SettingsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Settings = std::make_unique<TAppSettings>(Dir.filePath("tlw_settings.json"));
    }
    QTemporaryDir Dir;
    std::unique_ptr<TAppSettings> Settings;
};

TEST_F(SettingsWindow, DefaultsShowNoPersonaAndOKStoresItEmpty)
{
    TSettingsForm form(nullptr, *Settings);
    EXPECT_EQ(form.windowTitle(), "Settings");
    EXPECT_EQ(form.size(), QSize(440, 460));
    EXPECT_TRUE(form.AutoSaveCheck()->isChecked());
    EXPECT_EQ(form.IntervalSpin()->value(), 120);
    EXPECT_EQ(form.ThemeCombo()->currentText(), "Amber");
    EXPECT_EQ(form.PersonaCombo()->currentIndex(), -1);
    EXPECT_TRUE(form.PersonaCombo()->currentText().isEmpty());
    EXPECT_EQ(form.APIKeyEdit()->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(form.OKButton()->isDefault());
    form.OKButton()->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(Settings->AIDefaultPersona().isEmpty());

    TAppSettings reread(Settings->FilePath());
    reread.Load();
    EXPECT_TRUE(reread.AIDefaultPersona().isEmpty());
    EXPECT_EQ(reread.Theme(), "Amber");
}

TEST_F(SettingsWindow, OKOnAFullDiskClosesTheWindowAndRaisesTheReason)
{
    for (const int size : {TestSupport::FullDiskSmallBytes, TestSupport::FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        Settings->SetAIAPIKey(QString(size, QLatin1Char('o')));
        Settings->Save();
        const QByteArray before = TestSupport::ReadFile(Settings->FilePath());
        TestSupport::ExpectFullDiskKeepsTheFile(Settings->FilePath(), before, before.size(), [&] {
            AIWindowTest::AnswerWhenOpen<TSettingsForm>([size](TSettingsForm* form) {
                form->APIKeyEdit()->setText(QString(size, QLatin1Char('n')));
                form->OKButton()->click();
            });
            return TestSupport::RaisedError([&] { TSettingsForm::Execute(nullptr, *Settings); });
        });
    }
}

TEST_F(SettingsWindow, ThemeNameMatchesItemsIgnoringCase)
{
    struct Case { const char* stored; int index; const char* afterOK; };
    const Case cases[] = { { "amber", 0, "Amber" }, { "RED", 3, "Red" }, { "Amber Terminal", -1, "" } };
    for (const Case& c : cases) {
        Settings->SetTheme(c.stored);
        TSettingsForm form(nullptr, *Settings);
        EXPECT_EQ(form.ThemeCombo()->currentIndex(), c.index) << c.stored;
        form.StoreSettings();
        EXPECT_EQ(Settings->Theme(), c.afterOK) << c.stored;
    }
}

TEST_F(SettingsWindow, IntervalStaysInRangeAndFieldsAreWritten)
{
    for (int stored : { 5, 9999 }) {
        Settings->SetAutoSaveInterval(stored);
        TSettingsForm form(nullptr, *Settings);
        EXPECT_EQ(form.IntervalSpin()->value(), stored < 30 ? 30 : 300);
    }
    TSettingsForm form(nullptr, *Settings);
    form.AutoSaveCheck()->setChecked(false);
    form.IntervalSpin()->setValue(45);
    form.SplashCheck()->setChecked(false);
    form.APIKeyEdit()->setText("sk-test");
    form.PersonaCombo()->setCurrentIndex(2);
    form.ThemeCombo()->setEditText("Custom");   // typed text is taken as it is
    form.OKButton()->click();
    TAppSettings reread(Settings->FilePath());
    reread.Load();
    EXPECT_FALSE(reread.AutoSave());
    EXPECT_EQ(reread.AutoSaveInterval(), 45);
    EXPECT_FALSE(reread.ShowSplash());
    EXPECT_EQ(reread.AIAPIKey(), "sk-test");
    EXPECT_EQ(reread.AIDefaultPersona(), "Raider Chief");
    EXPECT_EQ(reread.Theme(), "Custom");
}

TEST_F(SettingsWindow, CancelChangesNothing)
{
    TSettingsForm form(nullptr, *Settings);
    form.APIKeyEdit()->setText("changed");
    form.CancelButton()->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_TRUE(Settings->AIAPIKey().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Settings->FilePath()));
}

// The splash looks for its picture relative to the working folder.
class SplashImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        Old = QDir::currentPath();
        QDir(Dir.path()).mkpath("work");
        QDir::setCurrent(Dir.filePath("work"));
    }
    void TearDown() override { QDir::setCurrent(Old); }
    QTemporaryDir Dir;
    QString Old;
};

TEST_F(SplashImage, WorkingFolderFirstThenItsParent)
{
    EXPECT_TRUE(TSplashForm::ImagePath().isEmpty());
    EXPECT_TRUE(TSplashForm::LoadImage().IsNull());
    ASSERT_TRUE(PngCodec::SaveToFile(Dir.filePath("splash.png"), TRgbaImage(4, 3, RGBToColor(255, 0, 0))));
    EXPECT_EQ(TSplashForm::ImagePath(), "../splash.png");
    EXPECT_EQ(TSplashForm::LoadImage().Width, 4);
    ASSERT_TRUE(PngCodec::SaveToFile(Dir.filePath("work/splash.png"), TRgbaImage(2, 2, 0)));
    EXPECT_EQ(TSplashForm::ImagePath(), "splash.png");
    EXPECT_EQ(TSplashForm::LoadImage().Width, 2);
}

TEST_F(SplashImage, DamagedPictureIsIgnored)
{
    TestSupport::WriteFile(Dir.filePath("work/splash.png"), QByteArray("\x89PNG\r\n\x1a\n garbage", 17));
    EXPECT_TRUE(TSplashForm::LoadImage().IsNull());
    TSplashForm splash(TSplashForm::LoadImage());
    EXPECT_EQ(splash.size(), QSize(500, 350));
}

}
