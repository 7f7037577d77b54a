#include "ai/gui/AISpriteFormLogic.h"

#include "ai/AISpriteSheet.h"
#include "ai/PngCodec.h"
#include "export/ExportFiles.h"
#include "export/FRMWriter.h"
#include "export/ModExporter.h"
#include "model/DialogueTypes.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace AISpriteLogic {

namespace {

QByteArray DescriptionBytes(const TSpriteSheetInfo& info)
{
    return AISpriteSheet::DescriptionJSON(info.FrameWidth, info.FrameHeight, info.FrameCount, info.CharacterType,
                                          info.Action, info.Direction)
        .toUtf8();
}

QString FileNameOf(const QString& path) { return QFileInfo(path).fileName(); }

bool WriteBmp(const QString& path, const TRgbaImage& sheet, QString& error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!ToQImage(sheet).convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP")) {
        error = QStringLiteral("the bitmap could not be encoded");
        return false;
    }
    return ExportFiles::WriteFileAtomically(path, bytes, &error);
}

QByteArray FrameBytes(const TRgbaImage& sheet, const TSpriteSheetInfo& info, int selectedFrame)
{
    const TRgbaImage frame = sheet.Copy(info.FrameWidth * selectedFrame, 0, info.FrameWidth, info.FrameHeight);
    QImage argb = ToQImage(frame.IsNull() ? TRgbaImage(info.FrameWidth, info.FrameHeight) : frame)
                      .convertToFormat(QImage::Format_ARGB32);
    if (argb.width() != info.FrameWidth || argb.height() != info.FrameHeight) {
        QImage padded(info.FrameWidth, info.FrameHeight, QImage::Format_ARGB32);
        padded.fill(0xFF000000u);
        for (int y = 0; y < std::min(argb.height(), padded.height()); ++y)
            std::copy_n(reinterpret_cast<const quint32*>(argb.constScanLine(y)), std::min(argb.width(), padded.width()),
                        reinterpret_cast<quint32*>(padded.scanLine(y)));
        argb = padded;
    }
    return FRMWriter::IndexedFromPixels(argb.width(), argb.height(),
                                        reinterpret_cast<const std::uint32_t*>(argb.constBits()),
                                        int(argb.bytesPerLine() / 4));
}

}

QImage ToQImage(const TRgbaImage& image)
{
    if (image.IsNull())
        return QImage();
    return QImage(reinterpret_cast<const uchar*>(image.Pixels.constData()), image.Width, image.Height,
                  image.BytesPerLine(), QImage::Format_RGBA8888)
        .copy();
}

TRgbaImage FromQImage(const QImage& source)
{
    if (source.isNull() || !TRgbaImage::IsValidSize(source.width(), source.height()))
        return TRgbaImage();
    const QImage rgba = source.convertToFormat(QImage::Format_RGBA8888);
    TRgbaImage image(rgba.width(), rgba.height());
    for (int y = 0; y < rgba.height(); ++y)
        std::copy_n(rgba.constScanLine(y), image.BytesPerLine(), image.Pixels.data() + y * image.BytesPerLine());
    return image;
}

bool LoadSheet(const QString& path, TRgbaImage& sheet, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const QByteArray head = file.peek(8);
    if (PngCodec::HasPngSignature(head)) {
        file.close();
        return PngCodec::LoadFromFile(path, sheet, &error);
    }
    QImageReader reader(&file, "BMP");
    const QSize size = reader.size();
    if (!size.isValid() || !TRgbaImage::IsValidSize(size.width(), size.height())) {
        error = QStringLiteral("not a PNG or BMP image of a usable size");
        return false;
    }
    const TRgbaImage image = FromQImage(reader.read());
    if (image.IsNull()) {
        error = reader.errorString();
        return false;
    }
    sheet = image;
    return true;
}

TSpriteSaveOutcome SaveSpriteFiles(const QString& chosenPath, const TRgbaImage& sheet, const TSpriteSheetInfo& info,
                                   int selectedFrame)
{
    TSpriteSaveOutcome outcome;
    const QString pngPath = ExportFiles::ChangeFileExt(chosenPath, QStringLiteral(".png"));
    const QString jsonPath = ExportFiles::ChangeFileExt(chosenPath, QStringLiteral(".json"));
    QString error;
    const QByteArray png = PngCodec::Encode(sheet, &error);
    if (png.isEmpty() || !ExportFiles::WriteFileAtomically(pngPath, png, &error)
        || !ExportFiles::WriteFileAtomically(jsonPath, DescriptionBytes(info), &error)) {
        outcome.Status = QStringLiteral("Failed to save sprite sheet: ") + error;
        return outcome;
    }
    outcome.Status = QStringLiteral("Saved sprite sheet: ") + FileNameOf(pngPath) + QStringLiteral(", ") + FileNameOf(jsonPath);
    const QString extension = QFileInfo(chosenPath).suffix().toLower();
    if (extension == QLatin1String("bmp")) {
        const QString bmpPath = ExportFiles::ChangeFileExt(chosenPath, QStringLiteral(".bmp"));
        if (!WriteBmp(bmpPath, sheet, error)) {
            outcome.Status = QStringLiteral("Failed to save BMP file: ") + error;
            return outcome;
        }
        outcome.Status += QStringLiteral(", ") + FileNameOf(bmpPath);
    } else if (extension == QLatin1String("frm")) {
        const QString frmPath = ExportFiles::ChangeFileExt(chosenPath, QStringLiteral(".frm"));
        TModExporter exporter(nullptr);
        if (!exporter.ExportFRM(frmPath, info.FrameWidth, info.FrameHeight, FrameBytes(sheet, info, selectedFrame))) {
            outcome.Status = QStringLiteral("Failed to save FRM file");
            return outcome;
        }
        outcome.Status += QStringLiteral(", ") + FileNameOf(frmPath);
    }
    outcome.Success = true;
    return outcome;
}

bool SaveSheetIntoProject(const TDialogueProject& project, const TRgbaImage& sheet, const QDateTime& now,
                          QString& path, QString& error)
{
    const QString projectFolder =
        project.FilePath().isEmpty() ? QString() : QFileInfo(project.FilePath()).absolutePath();
    const QString folder = projectFolder.isEmpty() ? QStringLiteral("sprites") : QDir(projectFolder).filePath(QStringLiteral("sprites"));
    if (!ExportFiles::EnsureFolder(folder, &error))
        return false;
    path = QFileInfo(QDir(folder).filePath(now.toString(QStringLiteral("yyyyMMdd_HHmmss")) + QStringLiteral(".png")))
               .absoluteFilePath();
    return PngCodec::SaveToFile(path, sheet, &error);
}

QString SavedIntoProjectMessage(const QString& path)
{
    return QStringLiteral("Sprite sheet saved to:\r\n") + path + QStringLiteral("\r\n\r\n")
         + QStringLiteral("Attach this sprite to a node manually via node properties.");
}

}
