#pragma once
// The asset browser's folder listing and image loading without the window:
// the tree of subfolders and files a filter admits, and the preview image
// of a file (PNG through the project's codec, BMP and JPEG through Qt).

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

// The filter list's entries, in order.
enum TAssetFilter { afAllAssets, afImages, afAudio, afScripts };
constexpr int AssetFilterCount = 4;

struct TAssetEntry {
    QString Name;
    QString Path;       // full path of the folder or file
    bool IsFolder = false;
    std::vector<TAssetEntry> Children;   // subfolders first, then files
};

enum TAssetPreviewResult {
    aprNotAnImage,   // the preview is cleared
    aprLoaded,
    aprFailed        // an image extension whose file could not be read
};

namespace AssetBrowserListing {

QStringList FilterCaptions();

// Only files with an extension are listed; "All Assets" admits every such
// file, the other entries the extensions their captions name.
bool FilterAdmits(TAssetFilter filter, const QString& fileName);

// The folder as a root entry holding its subfolders (each filled in turn)
// and then the files the filter admits, both by name. False, with an empty
// root, when the folder does not exist. A folder reached twice through links
// is shown but not entered again.
bool ListFolder(const QString& folder, TAssetFilter filter, TAssetEntry& root);

// ".png", ".jpg", ".jpeg" and ".bmp", compared in lower case.
bool IsPreviewable(const QString& path);
TAssetPreviewResult LoadPreview(const QString& path, QImage& image, QString* error = nullptr);

// Any image file, whatever its extension: a PNG signature sends it to the
// bounded PNG decoder, anything else to Qt's readers.
bool LoadImageFile(const QString& path, QImage& image, QString* error = nullptr);

}
