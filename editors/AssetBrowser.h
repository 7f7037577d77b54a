#pragma once
// The asset browser: a modal picker for mod assets (portraits, sounds,
// scripts) with a folder tree, a filter and an image preview.
//
//   static bool TAssetBrowserForm::Execute(QWidget* owner, const QString& rootPath, QString& selectedFile);
//
// Lists `rootPath` (when not empty) and shows the window modally over
// `owner`. `selectedFile` is cleared first and receives the full path of the
// last file clicked, whichever button closed the window; the result is true
// only when the window was closed with Select.

#include "editors/AssetBrowserListing.h"

#include <QDialog>
#include <QPixmap>

#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

class TAssetBrowserForm : public QDialog {
    Q_OBJECT
public:
    static bool Execute(QWidget* owner, const QString& rootPath, QString& selectedFile);

    explicit TAssetBrowserForm(QWidget* owner);

    // The folder question; tests replace it. Empty when cancelled.
    using TFolderQuestion = std::function<QString(QWidget* parent, const QString& title)>;
    void SetAskFolder(TFolderQuestion ask) { FAskFolder = std::move(ask); }

    void ListFolder(const QString& folder);
    void SetRootPath(const QString& folder);
    void ItemClicked(QTreeWidgetItem* item);
    void BrowseFolder();
    void FilterChanged();
    void SelectClicked();

    const QString& RootPath() const { return FRootPath; }
    const QString& SelectedFile() const { return FSelectedFile; }
    // Why the last image could not be shown; empty after a good load.
    const QString& PreviewError() const { return FPreviewError; }
    bool HasPreview() const { return !FPreviewImage.isNull(); }
    QSize PreviewImageSize() const { return FPreviewImage.size(); }

    QTreeWidget* Tree() const { return tvAssets; }
    QComboBox* FilterList() const { return cmbFilter; }
    QLabel* PathLabel() const { return lblPath; }
    QLabel* Preview() const { return imgPreview; }
    QPushButton* BrowseButton() const { return btnBrowse; }
    QPushButton* SelectButton() const { return btnSelect; }
    QPushButton* CancelButton() const { return btnCancel; }
    // The tree item standing for `path`, or null.
    QTreeWidgetItem* FindItem(const QString& path) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildTopBar();
    QWidget* BuildBottomBar();
    void ApplyTheme();
    void ShowPreview(const QString& path);
    void ClearPreview();
    void FitPreview();

    QString FRootPath;
    QString FSelectedFile;
    QString FPreviewError;
    QPixmap FPreviewImage;
    TFolderQuestion FAskFolder;

    QFrame* pnlTop = nullptr;
    QFrame* pnlBottom = nullptr;
    QFrame* pnlPreview = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblFilter = nullptr;
    QLabel* lblPath = nullptr;
    QComboBox* cmbFilter = nullptr;
    QPushButton* btnBrowse = nullptr;
    QPushButton* btnSelect = nullptr;
    QPushButton* btnCancel = nullptr;
    QSplitter* FSplitter = nullptr;
    QTreeWidget* tvAssets = nullptr;
    QLabel* imgPreview = nullptr;
};
