// The asset browser on a temporary folder tree: what each filter lists,
// what previews and what does not, and what Execute hands back.

#include "ai/PngCodec.h"
#include "editors/AssetBrowser.h"
#include "shell/ThemeManager.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// root/
//   art/ (portrait.png, wide.bmp, deep/icon.jpg)
//   sounds/ (hello.wav)
//   broken.png, damaged.bmp, sprite.frm, notes.txt, README, talk.ssl, cut.png
class AssetTree {
public:
    AssetTree()
    {
        Root = Dir.filePath(QStringLiteral("assets"));
        QDir().mkpath(Root + QStringLiteral("/art/deep"));
        QDir().mkpath(Root + QStringLiteral("/sounds"));
        TRgbaImage portrait(40, 20, RGBToColor(200, 30, 30));
        PngCodec::SaveToFile(Path("art/portrait.png"), portrait);
        QImage wide(30, 10, QImage::Format_RGB32);
        wide.fill(Qt::blue);
        wide.save(Path("art/wide.bmp"), "BMP");
        wide.save(Path("art/deep/icon.jpg"), "JPG");
        Write("sounds/hello.wav", "RIFF....WAVE");
        Write("broken.png", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(40, 'x'));
        Write("damaged.bmp", "BM not really a bitmap");
        Write("sprite.frm", QByteArray(64, '\0'));
        Write("notes.txt", "plain text");
        Write("README", "no extension");
        Write("talk.ssl", "procedure start begin end");
        const QByteArray good = TestSupport::ReadFile(Path("art/portrait.png"));
        Write("cut.png", good.left(good.size() / 2));
    }
    QString Path(const char* relative) const { return Root + QLatin1Char('/') + QLatin1String(relative); }
    void Write(const char* relative, const QByteArray& bytes) const { TestSupport::WriteFile(Path(relative), bytes); }

    QTemporaryDir Dir;
    QString Root;
};

QStringList Names(const TAssetEntry& entry)
{
    QStringList names;
    for (const TAssetEntry& child : entry.Children)
        names << child.Name;
    return names;
}

}

TEST(AssetBrowserListing, FoldersFirstThenFilesWithAnExtension)
{
    AssetTree tree;
    TAssetEntry root;
    ASSERT_TRUE(AssetBrowserListing::ListFolder(tree.Root, afAllAssets, root));
    EXPECT_EQ(root.Name, QStringLiteral("assets"));
    EXPECT_TRUE(root.IsFolder);
    EXPECT_EQ(Names(root), QStringList({ "art", "sounds", "broken.png", "cut.png", "damaged.bmp", "notes.txt",
                                         "sprite.frm", "talk.ssl" }));
    const TAssetEntry& art = root.Children[0];
    EXPECT_EQ(art.Path, tree.Path("art"));
    EXPECT_EQ(Names(art), QStringList({ "deep", "portrait.png", "wide.bmp" }));
    EXPECT_EQ(Names(art.Children[0]), QStringList({ "icon.jpg" }));
    EXPECT_EQ(art.Children[1].Path, tree.Path("art/portrait.png"));
    EXPECT_FALSE(art.Children[1].IsFolder);
}

TEST(AssetBrowserListing, EachFilterAdmitsTheExtensionsItNames)
{
    struct Case { TAssetFilter filter; QStringList rootNames; };
    const Case cases[] = {
        { afImages, { "art", "sounds", "broken.png", "cut.png", "damaged.bmp" } },
        { afAudio, { "art", "sounds" } },
        { afScripts, { "art", "sounds", "talk.ssl" } },
    };
    AssetTree tree;
    for (const Case& c : cases) {
        TAssetEntry root;
        ASSERT_TRUE(AssetBrowserListing::ListFolder(tree.Root, c.filter, root));
        EXPECT_EQ(Names(root), c.rootNames) << int(c.filter);
    }
    EXPECT_TRUE(AssetBrowserListing::FilterAdmits(afImages, QStringLiteral("A.PNG")));
    EXPECT_FALSE(AssetBrowserListing::FilterAdmits(afAllAssets, QStringLiteral("Makefile")));
    EXPECT_FALSE(AssetBrowserListing::FilterAdmits(afAllAssets, QStringLiteral("trailing.")));
    EXPECT_TRUE(AssetBrowserListing::FilterAdmits(afAudio, QStringLiteral("x.tar.ogg")));
    EXPECT_EQ(AssetBrowserListing::FilterCaptions(),
              QStringList({ "All Assets", "Images (*.png;*.jpg;*.bmp)", "Audio (*.wav;*.ogg;*.mp3)", "Scripts (*.ssl)" }));
}

TEST(AssetBrowserListing, MissingFolderAndLinkLoops)
{
    TAssetEntry root;
    EXPECT_FALSE(AssetBrowserListing::ListFolder(QStringLiteral("/no/such/folder"), afAllAssets, root));
    EXPECT_FALSE(AssetBrowserListing::ListFolder(QString(), afAllAssets, root));
    EXPECT_TRUE(root.Children.empty());

    AssetTree tree;
    ASSERT_TRUE(QFile::link(tree.Root, tree.Path("art/back")));   // a loop back to the root
    ASSERT_TRUE(AssetBrowserListing::ListFolder(tree.Root, afAllAssets, root));
    const TAssetEntry& back = root.Children[0].Children[0];
    EXPECT_EQ(back.Name, QStringLiteral("back"));
    EXPECT_TRUE(back.Children.empty());
}

TEST(AssetBrowserListing, PreviewLoadsWhatItCan)
{
    struct Case { const char* file; TAssetPreviewResult result; QSize size; };
    const Case cases[] = {
        { "art/portrait.png", aprLoaded, { 40, 20 } },
        { "art/wide.bmp", aprLoaded, { 30, 10 } },
        { "art/deep/icon.jpg", aprLoaded, { 30, 10 } },
        { "broken.png", aprFailed, {} },
        { "cut.png", aprFailed, {} },
        { "damaged.bmp", aprFailed, {} },
        { "sprite.frm", aprNotAnImage, {} },
        { "notes.txt", aprNotAnImage, {} },
        { "missing.png", aprFailed, {} },
    };
    AssetTree tree;
    for (const Case& c : cases) {
        QImage image;
        QString error;
        EXPECT_EQ(AssetBrowserListing::LoadPreview(tree.Path(c.file), image, &error), c.result) << c.file;
        EXPECT_EQ(image.isNull(), !c.size.isValid()) << c.file;
        if (c.size.isValid())
            EXPECT_EQ(image.size(), c.size) << c.file;
        EXPECT_EQ(error.isEmpty(), c.result != aprFailed) << c.file << " " << error.toStdString();
    }
    // A PNG saved under another image extension is still read by content.
    QFile::copy(tree.Path("art/portrait.png"), tree.Path("renamed.bmp"));
    QImage image;
    EXPECT_EQ(AssetBrowserListing::LoadPreview(tree.Path("renamed.bmp"), image), aprLoaded);
}

TEST(AssetBrowserListing, UnreadableFileFailsCleanly)
{
    if (!TestSupport::PermissionsEnforced())
        GTEST_SKIP() << "permissions are not enforced for this user";
    AssetTree tree;
    QFile::setPermissions(tree.Path("art/portrait.png"), QFileDevice::Permissions());
    QImage image;
    QString error;
    EXPECT_EQ(AssetBrowserListing::LoadPreview(tree.Path("art/portrait.png"), image, &error), aprFailed);
    EXPECT_FALSE(error.isEmpty());
}

class AssetBrowserFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = std::make_unique<TAssetBrowserForm>(nullptr);
        Form->show();
    }
    void Click(const char* relative) { Form->ItemClicked(Form->FindItem(Tree.Path(relative))); }
    AssetTree Tree;
    std::unique_ptr<TAssetBrowserForm> Form;
};

TEST_F(AssetBrowserFormTest, StartsEmpty)
{
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Asset Browser"));
    EXPECT_EQ(Form->size(), QSize(640, 500));
    EXPECT_EQ(Form->Tree()->topLevelItemCount(), 0);
    EXPECT_EQ(Form->PathLabel()->text(), QStringLiteral("No folder selected"));
    EXPECT_EQ(Form->FilterList()->currentIndex(), 0);
    EXPECT_EQ(Form->BrowseButton()->text(), QString::fromUtf8("\xF0\x9F\x93\x81 Browse Folder..."));
}

TEST_F(AssetBrowserFormTest, TreeShowsTheListingExpanded)
{
    Form->SetRootPath(Tree.Root);
    ASSERT_EQ(Form->Tree()->topLevelItemCount(), 1);
    QTreeWidgetItem* root = Form->Tree()->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("assets"));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(root->childCount(), 8);
    EXPECT_EQ(root->child(0)->child(0)->child(0)->text(0), QStringLiteral("icon.jpg"));
    EXPECT_EQ(Form->PathLabel()->text(), Tree.Root);

    Form->FilterList()->setCurrentIndex(afScripts);
    EXPECT_EQ(Form->Tree()->topLevelItem(0)->childCount(), 3);
}

TEST_F(AssetBrowserFormTest, ClickingPreviewsImagesAndClearsForOthers)
{
    Form->SetRootPath(Tree.Root);
    Click("art/portrait.png");
    EXPECT_EQ(Form->SelectedFile(), Tree.Path("art/portrait.png"));
    EXPECT_EQ(Form->PathLabel()->text(), Tree.Path("art/portrait.png"));
    EXPECT_EQ(Form->PreviewImageSize(), QSize(40, 20));
    EXPECT_FALSE(Form->Preview()->pixmap().isNull());

    Click("broken.png");
    EXPECT_FALSE(Form->HasPreview());
    EXPECT_TRUE(Form->Preview()->pixmap().isNull());
    EXPECT_FALSE(Form->PreviewError().isEmpty());
    EXPECT_EQ(Form->SelectedFile(), Tree.Path("broken.png"));

    Click("art/wide.bmp");
    EXPECT_EQ(Form->PreviewImageSize(), QSize(30, 10));
    Click("sprite.frm");
    EXPECT_FALSE(Form->HasPreview());
    EXPECT_TRUE(Form->PreviewError().isEmpty());

    // A folder is not a pick.
    Click("art");
    EXPECT_EQ(Form->SelectedFile(), Tree.Path("sprite.frm"));
    Form->ItemClicked(nullptr);
}

TEST_F(AssetBrowserFormTest, BrowseListsTheChosenFolder)
{
    QStringList titles;
    Form->SetAskFolder([&](QWidget*, const QString& title) { titles << title; return QString(); });
    Form->BrowseButton()->click();
    EXPECT_EQ(Form->Tree()->topLevelItemCount(), 0);
    Form->SetAskFolder([&](QWidget*, const QString& title) { titles << title; return Tree.Path("art"); });
    Form->BrowseButton()->click();
    EXPECT_EQ(titles, QStringList({ "Select Asset Folder", "Select Asset Folder" }));
    EXPECT_EQ(Form->RootPath(), Tree.Path("art"));
    EXPECT_EQ(Form->Tree()->topLevelItem(0)->text(0), QStringLiteral("art"));
}

namespace {

bool ExecuteAndFinish(const QString& root, QString& selected, const std::function<void(TAssetBrowserForm*)>& finish)
{
    QTimer::singleShot(0, [finish] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TAssetBrowserForm*>(w); form && form->isVisible())
                finish(form);
    });
    return TAssetBrowserForm::Execute(nullptr, root, selected);
}

}

TEST(AssetBrowserExecute, SelectNeedsAClickAndCancelStillHandsThePathBack)
{
    AssetTree tree;
    QString selected = QStringLiteral("stale");
    EXPECT_TRUE(ExecuteAndFinish(tree.Root, selected, [&](TAssetBrowserForm* form) {
        form->SelectButton()->click();   // nothing clicked yet: stays open
        EXPECT_TRUE(form->isVisible());
        form->ItemClicked(form->FindItem(tree.Path("talk.ssl")));
        form->SelectButton()->click();
    }));
    EXPECT_EQ(selected, tree.Path("talk.ssl"));

    EXPECT_FALSE(ExecuteAndFinish(tree.Root, selected, [&](TAssetBrowserForm* form) {
        form->ItemClicked(form->FindItem(tree.Path("notes.txt")));
        form->CancelButton()->click();
    }));
    EXPECT_EQ(selected, tree.Path("notes.txt"));

    EXPECT_FALSE(ExecuteAndFinish(QString(), selected, [](TAssetBrowserForm* form) {
        EXPECT_EQ(form->PathLabel()->text(), QStringLiteral("No folder selected"));
        form->CancelButton()->click();
    }));
    EXPECT_TRUE(selected.isEmpty());
}

TEST_F(AssetBrowserFormTest, RendersInEveryTheme)
{
    for (int style = 0; style < ThemeStyleCount; ++style) {
        TThemeManager::ApplyTheme(TThemeStyle(style));
        SetUp();
        Form->SetRootPath(Tree.Root);
        Click("art/portrait.png");
        const QImage image = Form->grab().toImage();
        EXPECT_EQ(image.size(), QSize(640, 500));
        const QString dir = qEnvironmentVariable("TLW_GRAB_DIR");
        if (!dir.isEmpty())
            image.save(dir + QStringLiteral("/assets_%1.png").arg(style));
    }
    TThemeManager::ApplyTheme(tsAmber);
}
