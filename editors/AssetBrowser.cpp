#include "editors/AssetBrowser.h"

#include "editors/ValidationToolsFormKit.h"
#include "shell/ThemeManager.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int PathRole = Qt::UserRole;

QString AskExistingFolder(QWidget* parent, const QString& title)
{
    return QFileDialog::getExistingDirectory(parent, title);
}

void AddChildren(QTreeWidgetItem* parent, const TAssetEntry& entry)
{
    for (const TAssetEntry& child : entry.Children) {
        auto* item = new QTreeWidgetItem(parent, { child.Name });
        item->setData(0, PathRole, child.Path);
        AddChildren(item, child);
    }
}

}

bool TAssetBrowserForm::Execute(QWidget* owner, const QString& rootPath, QString& selectedFile)
{
    selectedFile.clear();
    TAssetBrowserForm form(owner);
    if (!rootPath.isEmpty())
        form.SetRootPath(rootPath);
    const bool selected = form.exec() == QDialog::Accepted;
    selectedFile = form.SelectedFile();
    return selected;
}

TAssetBrowserForm::TAssetBrowserForm(QWidget* owner)
    : QDialog(owner), FAskFolder(AskExistingFolder)
{
    setWindowTitle(QStringLiteral("Asset Browser"));
    resize(640, 500);
    BuildControls();
    ApplyTheme();
}

void TAssetBrowserForm::BuildControls()
{
    QVBoxLayout* layout = FormKit::BareColumn(this);
    layout->addWidget(BuildTopBar());

    FSplitter = FormKit::MakeSplitter(this);
    tvAssets = new QTreeWidget(FSplitter);
    tvAssets->setHeaderHidden(true);
    tvAssets->setMinimumWidth(120);
    connect(tvAssets, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) { ItemClicked(item); });
    FSplitter->addWidget(tvAssets);

    pnlPreview = new QFrame(FSplitter);
    pnlPreview->setFrameShape(QFrame::Panel);
    pnlPreview->setFrameShadow(QFrame::Sunken);
    auto* previewLayout = new QVBoxLayout(pnlPreview);
    previewLayout->setContentsMargins(2, 2, 2, 2);
    imgPreview = new QLabel(pnlPreview);
    imgPreview->setAlignment(Qt::AlignCenter);
    imgPreview->setMinimumSize(1, 1);
    imgPreview->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    imgPreview->installEventFilter(this);
    previewLayout->addWidget(imgPreview);
    FSplitter->addWidget(pnlPreview);
    FSplitter->setStretchFactor(1, 1);
    FSplitter->setSizes({ 280, 356 });
    layout->addWidget(FSplitter, 1);

    layout->addWidget(BuildBottomBar());
}

QWidget* TAssetBrowserForm::BuildTopBar()
{
    pnlTop = new QFrame(this);
    pnlTop->setFixedHeight(72);
    auto* column = new QVBoxLayout(pnlTop);
    column->setContentsMargins(8, 4, 8, 4);
    column->setSpacing(2);
    lblTitle = FormKit::MakeTitle(pnlTop, QStringLiteral("ASSET BROWSER"));
    lblFilter = new QLabel(QStringLiteral("Filter:"), pnlTop);
    cmbFilter = new QComboBox(pnlTop);
    cmbFilter->setFixedWidth(180);
    cmbFilter->addItems(AssetBrowserListing::FilterCaptions());
    cmbFilter->setCurrentIndex(0);
    connect(cmbFilter, &QComboBox::currentIndexChanged, this, &TAssetBrowserForm::FilterChanged);
    btnBrowse = FormKit::MakeButton(pnlTop, QString::fromUtf8("\xF0\x9F\x93\x81 Browse Folder..."), 130, 28);
    connect(btnBrowse, &QPushButton::clicked, this, &TAssetBrowserForm::BrowseFolder);
    lblPath = new QLabel(QStringLiteral("No folder selected"), pnlTop);
    FormKit::SetPointSize(lblPath, 7);

    auto* row = new QHBoxLayout;
    row->addWidget(lblTitle);
    row->addSpacing(16);
    row->addWidget(lblFilter);
    row->addWidget(cmbFilter);
    row->addWidget(btnBrowse);
    row->addStretch(1);
    column->addLayout(row);
    column->addWidget(lblPath);
    return pnlTop;
}

QWidget* TAssetBrowserForm::BuildBottomBar()
{
    pnlBottom = FormKit::MakeBar(this, 42);
    auto* row = static_cast<QHBoxLayout*>(pnlBottom->layout());
    btnSelect = FormKit::MakeButton(pnlBottom, QStringLiteral("Select"), 88, 28);
    btnCancel = FormKit::MakeButton(pnlBottom, QStringLiteral("Cancel"), 88, 28);
    row->addStretch(1);
    row->addWidget(btnSelect);
    row->addWidget(btnCancel);
    connect(btnSelect, &QPushButton::clicked, this, &TAssetBrowserForm::SelectClicked);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    return pnlBottom;
}

void TAssetBrowserForm::ApplyTheme()
{
    const TTLWTheme& theme = TThemeManager::Current();
    FormKit::SetBackground(this, theme.BgDark);
    FormKit::SetTextColor(this, theme.TextPrimary);
    FormKit::SetBackground(pnlTop, theme.BgMedium);
    FormKit::SetBackground(pnlBottom, theme.BgMedium);
    FormKit::SetBackground(tvAssets, theme.BgDark);
    FormKit::SetTextColor(tvAssets, theme.TextPrimary);
    FormKit::SetBackground(pnlPreview, theme.BgLight);
    FormKit::SetTextColor(lblTitle, theme.AccentPrimary);
    FormKit::SetTextColor(lblPath, theme.TextDim);
    FormKit::SetBackground(cmbFilter, theme.BgLight);
    TThemeManager::ApplyToForm(this);
    // The preview pane keeps its lighter ground: the panel styling would
    // make it look like the bars.
    FormKit::SetBackground(pnlPreview, theme.BgLight);
    pnlPreview->setFrameShape(QFrame::Panel);
    pnlPreview->setFrameShadow(QFrame::Sunken);
}

void TAssetBrowserForm::SetRootPath(const QString& folder)
{
    FRootPath = folder;
    ListFolder(folder);
}

void TAssetBrowserForm::ListFolder(const QString& folder)
{
    tvAssets->clear();
    TAssetEntry root;
    if (!AssetBrowserListing::ListFolder(folder, TAssetFilter(qMax(0, cmbFilter->currentIndex())), root))
        return;
    lblPath->setText(folder);
    auto* rootItem = new QTreeWidgetItem(tvAssets, { root.Name });
    rootItem->setData(0, PathRole, root.Path);
    AddChildren(rootItem, root);
    rootItem->setExpanded(true);
}

QTreeWidgetItem* TAssetBrowserForm::FindItem(const QString& path) const
{
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (QTreeWidgetItemIterator it(tvAssets); *it; ++it)
        if ((*it)->data(0, PathRole).toString() == wanted)
            return *it;
    return nullptr;
}

void TAssetBrowserForm::ItemClicked(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString path = item->data(0, PathRole).toString();
    if (!QFileInfo(path).isFile())
        return;
    FSelectedFile = path;
    lblPath->setText(path);
    ShowPreview(path);
}

void TAssetBrowserForm::ShowPreview(const QString& path)
{
    QImage image;
    FPreviewError.clear();
    if (AssetBrowserListing::LoadPreview(path, image, &FPreviewError) != aprLoaded) {
        ClearPreview();
        return;
    }
    FPreviewImage = QPixmap::fromImage(image);
    imgPreview->setToolTip(QString());
    FitPreview();
}

void TAssetBrowserForm::ClearPreview()
{
    FPreviewImage = QPixmap();
    imgPreview->clear();
    // No box interrupts browsing; the reason stays at hand on the pane.
    imgPreview->setToolTip(FPreviewError);
}

void TAssetBrowserForm::FitPreview()
{
    if (FPreviewImage.isNull())
        return;
    const QSize box = imgPreview->size().boundedTo(QSize(4096, 4096)).expandedTo(QSize(1, 1));
    const bool enlarge = FPreviewImage.width() < box.width() && FPreviewImage.height() < box.height();
    // Pixel art stays crisp when enlarged.
    imgPreview->setPixmap(FPreviewImage.scaled(box, Qt::KeepAspectRatio,
                                               enlarge ? Qt::FastTransformation : Qt::SmoothTransformation));
}

bool TAssetBrowserForm::eventFilter(QObject* watched, QEvent* event)
{
    // The pane changes size with the window and with the splitter.
    if (watched == imgPreview && event->type() == QEvent::Resize)
        FitPreview();
    return QDialog::eventFilter(watched, event);
}

void TAssetBrowserForm::BrowseFolder()
{
    const QString folder = FAskFolder(this, QStringLiteral("Select Asset Folder"));
    if (!folder.isEmpty())
        SetRootPath(folder);
}

void TAssetBrowserForm::FilterChanged()
{
    if (!FRootPath.isEmpty())
        ListFolder(FRootPath);
}

void TAssetBrowserForm::SelectClicked()
{
    if (!FSelectedFile.isEmpty())
        accept();
}
