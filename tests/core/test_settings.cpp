// Application settings file: defaults, exact layout, lenient reading.

#include "project/AppPaths.h"
#include "project/AppSettings.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace TestSupport;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    QString FilePath() const { return FDir.filePath("tlw_settings.json"); }
    QTemporaryDir FDir;
};

const char* const DefaultText =
    "{\"AutoSave\":true,\"AutoSaveInterval\":120,\"Theme\":\"Amber\",\"AIAPIKey\":\"\","
    "\"AIDefaultPersona\":\"vault_dweller\",\"ShowSplash\":true}";

}

TEST_F(SettingsTest, FirstRunWritesDefaultsAndReadsThemBack)
{
    {
        TAppSettings s(FilePath());
        EXPECT_TRUE(s.AutoSave());
        EXPECT_EQ(s.AutoSaveInterval(), 120);
        EXPECT_EQ(s.Theme(), "Amber");
        EXPECT_EQ(s.AIAPIKey(), "");
        EXPECT_EQ(s.AIDefaultPersona(), "vault_dweller");
        EXPECT_TRUE(s.ShowSplash());
        s.Save();
    }
    EXPECT_EQ(ReadFile(FilePath()), QByteArray(DefaultText));
    TAppSettings again(FilePath());
    EXPECT_EQ(again.ToFileText(), QByteArray(DefaultText));
}

TEST_F(SettingsTest, FileIsPrivateToItsOwner)
{
    TAppSettings(FilePath()).Save();
    EXPECT_EQ(QFileInfo(FilePath()).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
}

TEST_F(SettingsTest, NonAsciiKeyIsEscapedAndReadsBack)
{
    const QString key = QString::fromUtf8("clé-日本-\U0001F600\x01");
    {
        TAppSettings s(FilePath());
        s.SetAIAPIKey(key);
        s.Save();
    }
    const QByteArray bytes = ReadFile(FilePath());
    EXPECT_TRUE(bytes.contains("cl\\u00E9-\\u65E5\\u672C-\\uD83D\\uDE00\\u0001")) << bytes.constData();
    for (char c : bytes)
        EXPECT_LT(uchar(c), 0x80);
    EXPECT_EQ(TAppSettings(FilePath()).AIAPIKey(), key);
}

TEST_F(SettingsTest, LenientReading)
{
    struct Case { const char* file; bool autoSave; int interval; const char* theme; bool splash; };
    const Case cases[] = {
        { "{\"AutoSave\":\"false\"}", false, 120, "Amber", true },
        { "{\"AutoSave\":0}", false, 120, "Amber", true },
        { "{\"AutoSave\":\"TRUE\"}", false, 120, "Amber", true },
        { "{\"AutoSave\":\"true\"}", true, 120, "Amber", true },
        { "{\"Theme\":\"Green\"}", true, 120, "Green", true },
        { "{\"AutoSaveInterval\":\"45\"}", true, 45, "Amber", true },
        { "{\"AutoSaveInterval\":12.5}", true, 120, "Amber", true },
        { "{\"AutoSaveInterval\":\"soon\"}", true, 120, "Amber", true },
        { "{\"AutoSaveInterval\":-3}", true, -3, "Amber", true },
        { "{\"ShowSplash\":false,\"Theme\":7}", true, 120, "7", false },
        { "not json at all", true, 120, "Amber", true },
        { "[1,2]", true, 120, "Amber", true },
        { "", true, 120, "Amber", true },
        { "\xEF\xBB\xBF{\"Theme\":\"Bom\"}", true, 120, "Bom", true },
        { "{\"Theme\":\"Caf\xE9\"}", true, 120, "Caf\xC3\xA9", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        WriteFile(FilePath(), QByteArray(c.file));
        TAppSettings s(FilePath());
        EXPECT_EQ(s.AutoSave(), c.autoSave);
        EXPECT_EQ(s.AutoSaveInterval(), c.interval);
        EXPECT_EQ(s.Theme(), QString::fromUtf8(c.theme));
        EXPECT_EQ(s.ShowSplash(), c.splash);
    }
}

TEST_F(SettingsTest, NumbersOfAnySizeReadWithoutOverflow)
{
    // Numbers past the 64-bit range are no whole number of any setting:
    // they read as a number that is not one, never through an overflowing
    // conversion.
    struct Case { const char* file; int interval; const char* theme; bool autoSave; };
    const Case cases[] = {
        { "{\"AutoSaveInterval\":1e20}", 120, "Amber", true },
        { "{\"AutoSaveInterval\":-1e20}", 120, "Amber", true },
        { "{\"AutoSaveInterval\":1.7976931348623157e308}", 120, "Amber", true },
        { "{\"AutoSaveInterval\":-1.7976931348623157e308}", 120, "Amber", true },
        { "{\"AutoSaveInterval\":9223372036854775807}", 120, "Amber", true },   // 2^63 once a double
        { "{\"AutoSaveInterval\":-9223372036854775808}", 120, "Amber", true },
        { "{\"AutoSaveInterval\":2147483648}", 120, "Amber", true },
        { "{\"AutoSaveInterval\":2147483647}", 2147483647, "Amber", true },
        { "{\"AutoSaveInterval\":-2147483648}", -2147483647 - 1, "Amber", true },
        { "{\"AutoSaveInterval\":3e2}", 300, "Amber", true },
        { "{\"AutoSaveInterval\":1e-300}", 120, "Amber", true },
        { "{\"AutoSaveInterval\":\"1e20\"}", 120, "Amber", true },
        { "{\"AutoSaveInterval\":\"99999999999999999999\"}", 120, "Amber", true },
        { "{\"Theme\":1e20,\"AutoSave\":-1e20}", 120, "1e+20", false },
        { "{\"Theme\":-4e18}", 120, "-4000000000000000000", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        WriteFile(FilePath(), QByteArray(c.file));
        TAppSettings s(FilePath());
        EXPECT_EQ(s.AutoSaveInterval(), c.interval);
        EXPECT_EQ(s.Theme(), QString::fromLatin1(c.theme));
        EXPECT_EQ(s.AutoSave(), c.autoSave);
    }
}

TEST_F(SettingsTest, FullDiskKeepsTheOldFileAndSaysWhy)
{
    for (const int size : {FullDiskSmallBytes, FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        TAppSettings s(FilePath());
        s.SetAIAPIKey(QString(size, QLatin1Char('k')));
        s.Save();
        const QByteArray before = ReadFile(FilePath());
        s.SetAIAPIKey(QString(size, QLatin1Char('n')));
        ExpectFullDiskKeepsTheFile(FilePath(), before, before.size(), [&] { return RaisedError([&] { s.Save(); }); });
    }
}

TEST_F(SettingsTest, MalformedFileIsOverwrittenOnSave)
{
    WriteFile(FilePath(), "{{{{");
    TAppSettings(FilePath()).Save();
    EXPECT_EQ(ReadFile(FilePath()), QByteArray(DefaultText));
}

TEST(AppPathsTest, UnwritableProgramFolderFallsBackToUserConfig)
{
    if (!PermissionsEnforced())
        GTEST_SKIP() << "running as root: every folder is writable";
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    AppPaths::SetBaseDirOverride(dir.path());
    const QString path = AppPaths::BesideExecutable("tlw_settings.json");
    AppPaths::SetBaseDirOverride(QString());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(path.startsWith(dir.path()));
    EXPECT_TRUE(path.endsWith("/tlw_settings.json"));
}

TEST(AppPathsTest, WritableProgramFolderIsUsed)
{
    QTemporaryDir dir;
    AppPaths::SetBaseDirOverride(dir.path());
    EXPECT_EQ(AppPaths::BesideExecutable("x.recent"), QDir(dir.path()).filePath("x.recent"));
    AppPaths::SetBaseDirOverride(QString());
    EXPECT_EQ(QFileInfo(AppPaths::BesideExecutable("y")).absolutePath(),
              QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
}
