#include "editors/AssetBrowserListing.h"

#include "ai/PngCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

namespace AssetBrowserListing {

namespace {

const QStringList& FilterExtensions(TAssetFilter filter)
{
    static const QStringList images = { QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("bmp") };
    static const QStringList audio = { QStringLiteral("wav"), QStringLiteral("ogg"), QStringLiteral("mp3") };
    static const QStringList scripts = { QStringLiteral("ssl") };
    static const QStringList any;
    switch (filter) {
    case afImages: return images;
    case afAudio: return audio;
    case afScripts: return scripts;
    case afAllAssets: break;
    }
    return any;
}

QString Extension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1).toLower();
}

QString EntryName(const QFileInfo& info)
{
    const QString name = info.fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(info.absoluteFilePath()) : name;
}

const QDir::Filters ListedKinds = QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
const QDir::SortFlags ListedOrder = QDir::Name | QDir::IgnoreCase;

void FillFolder(TAssetEntry& folder, TAssetFilter filter, QSet<QString>& entered)
{
    const QString canonical = QFileInfo(folder.Path).canonicalFilePath();
    if (canonical.isEmpty() || entered.contains(canonical))
        return;
    entered.insert(canonical);

    const QDir dir(folder.Path);
    for (const QFileInfo& sub : dir.entryInfoList(QDir::Dirs | ListedKinds, ListedOrder)) {
        TAssetEntry child{ EntryName(sub), sub.absoluteFilePath(), true, {} };
        FillFolder(child, filter, entered);
        folder.Children.push_back(std::move(child));
    }
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files | ListedKinds, ListedOrder))
        if (FilterAdmits(filter, file.fileName()))
            folder.Children.push_back({ file.fileName(), file.absoluteFilePath(), false, {} });
}

bool LoadPng(const QString& path, QImage& image, QString* error)
{
    TRgbaImage rgba;
    if (!PngCodec::LoadFromFile(path, rgba, error))
        return false;
    image = QImage(reinterpret_cast<const uchar*>(rgba.Pixels.constData()), rgba.Width, rgba.Height,
                   rgba.BytesPerLine(), QImage::Format_RGBA8888).copy();
    return !image.isNull();
}

bool LoadWithReader(const QString& path, QImage& image, QString* error)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (reader.read(&image))
        return true;
    if (error)
        *error = reader.errorString();
    return false;
}

}

QStringList FilterCaptions()
{
    return { QStringLiteral("All Assets"), QStringLiteral("Images (*.png;*.jpg;*.bmp)"),
             QStringLiteral("Audio (*.wav;*.ogg;*.mp3)"), QStringLiteral("Scripts (*.ssl)") };
}

bool FilterAdmits(TAssetFilter filter, const QString& fileName)
{
    const QString extension = Extension(fileName);
    if (extension.isEmpty())
        return false;
    return filter == afAllAssets || FilterExtensions(filter).contains(extension);
}

bool ListFolder(const QString& folder, TAssetFilter filter, TAssetEntry& root)
{
    root = TAssetEntry();
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return false;
    root = { EntryName(info), info.absoluteFilePath(), true, {} };
    QSet<QString> entered;
    FillFolder(root, filter, entered);
    return true;
}

bool IsPreviewable(const QString& path)
{
    static const QStringList extensions = { QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                            QStringLiteral("bmp") };
    return extensions.contains(Extension(QFileInfo(path).fileName()));
}

TAssetPreviewResult LoadPreview(const QString& path, QImage& image, QString* error)
{
    image = QImage();
    if (!IsPreviewable(path))
        return aprNotAnImage;
    return LoadImageFile(path, image, error) ? aprLoaded : aprFailed;
}

bool LoadImageFile(const QString& path, QImage& image, QString* error)
{
    image = QImage();
    // A PNG signature decides the codec, whatever the extension claims.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const bool png = PngCodec::HasPngSignature(file.read(8));
    file.close();
    const bool loaded = png ? LoadPng(path, image, error) : LoadWithReader(path, image, error);
    if (!loaded)
        image = QImage();
    return loaded;
}

}
