#include "ai/gui/AISpriteFormLogic.h"

#include "ai/PngCodec.h"
#include "export/ExportFiles.h"
#include "export/FRMWriter.h"
#include "export/ModExporter.h"
#include "model/DialogueTypes.h"
#include "model/JsonText.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace AISpriteLogic {

namespace {

const QString CommonNegative = QStringLiteral("blurry, text, watermark, signature, deformed, extra limbs, ");

TPromptTemplate Template(const char* style, const char* base, const char* negativeTail)
{
    return {QString::fromLatin1(style), QString::fromLatin1(base), CommonNegative + QString::fromLatin1(negativeTail),
            QStringLiteral("1:1")};
}

int RoundedDiv(qint64 numerator, int denominator)
{
    return int(std::lround(double(numerator) / double(denominator)));
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

const QVector<TPromptTemplate>& PromptTemplates()
{
    static const QVector<TPromptTemplate> templates = {
        Template("vault-dweller", "8-bit pixel art character, vault jumpsuit, Fallout style, front facing, detailed",
                 "modern clothing"),
        Template("raider", "8-bit pixel art wasteland raider, leather armor, weapons, aggressive pose, Fallout style",
                 "clean, HD, modern"),
        Template("ghoul", "8-bit pixel art ghoul, decayed skin, ragged clothes, glowing eyes, Fallout style",
                 "smooth, perfect skin, modern"),
        Template("brotherhood", "8-bit pixel art brotherhood knight, power armor, weapon, standing tall, Fallout style",
                 "colorful, casual, modern"),
        Template("settler", "8-bit pixel art settler, practical clothing, tools, neutral pose, Fallout style",
                 "fantasy, medieval, modern"),
    };
    return templates;
}

const TPromptTemplate& FindTemplate(const QString& style)
{
    for (const TPromptTemplate& t : PromptTemplates())
        if (t.Style.compare(style, Qt::CaseInsensitive) == 0)
            return t;
    return PromptTemplates().first();
}

TSpritePrompt BuildPrompt(const TSpritePromptRequest& request)
{
    const TPromptTemplate& t = FindTemplate(request.CharacterType.toLower());
    TSpritePrompt result;
    result.Prompt = t.BasePrompt + QStringLiteral(", ") + request.CharacterType + QStringLiteral(", ") + request.Action
                  + QStringLiteral(", ") + request.Direction;
    if (!t.NegativePrompt.trimmed().isEmpty())
        result.Prompt += QStringLiteral(" | Negative: ") + t.NegativePrompt;
    const QString extra = request.Extra.trimmed();
    if (!extra.isEmpty())
        result.Prompt += QStringLiteral(", ") + extra;
    result.NegativePrompt = request.UseDefaultNegative ? t.NegativePrompt : request.NegativeBox.trimmed();
    return result;
}

int FrameSizeForIndex(int resolutionIndex)
{
    switch (resolutionIndex) {
    case 1: return 128;
    case 2: return 256;
    default: return 64;
    }
}

int ClampFrameCount(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok)
        return DefaultFrames;
    return int(std::clamp<qlonglong>(value, MinFrames, MaxFrames));
}

int FrameUnderX(int x, int frameCount, int stripWidth)
{
    if (stripWidth <= 0 || frameCount <= 0)
        return 0;
    return std::clamp(int(qint64(x) * frameCount / stripWidth), 0, frameCount - 1);
}

int StepFrame(int selected, int delta, int frameCount)
{
    if (frameCount <= 0)
        return 0;
    return ((selected + delta) % frameCount + frameCount) % frameCount;
}

int ZoomIn(int zoom) { return std::min(zoom + ZoomStep, MaxZoom); }
int ZoomOut(int zoom) { return std::max(zoom - ZoomStep, MinZoom); }

int FrameLeftOnStrip(int frame, int frameCount, int stripWidth)
{
    return frameCount > 0 ? RoundedDiv(qint64(frame) * stripWidth, frameCount) : 0;
}

int FrameWidthOnStrip(int frameCount, int stripWidth)
{
    return frameCount > 0 ? RoundedDiv(stripWidth, frameCount) : 0;
}

QString FrameName(const TSpriteSheetInfo& info, int frame)
{
    return (info.CharacterType + QLatin1Char('_') + info.Action + QLatin1Char('_') + info.Direction + QLatin1Char('_')
            + QString::number(frame))
        .toLower();
}

QByteArray DescriptionJson(const TSpriteSheetInfo& info)
{
    TJsonValue root = TJsonValue::Object();
    root.Add(QStringLiteral("frame_width"), info.FrameWidth);
    root.Add(QStringLiteral("frame_height"), info.FrameHeight);
    root.Add(QStringLiteral("frame_count"), info.FrameCount);
    TJsonValue frames = TJsonValue::Array(size_t(std::max(info.FrameCount, 0)));
    for (int i = 0; i < info.FrameCount; ++i) {
        TJsonValue frame = TJsonValue::Object();
        frame.Add(QStringLiteral("name"), FrameName(info, i));
        frame.Add(QStringLiteral("duration"), 100);
        frames.Append(std::move(frame));
    }
    root.Add(QStringLiteral("frames"), std::move(frames));
    root.Add(QStringLiteral("character"), info.CharacterType.toLower());
    root.Add(QStringLiteral("palette"), QStringLiteral("[]"));
    root.Add(QStringLiteral("tags"), QStringLiteral("[]"));
    return JsonText::Compact(root).toUtf8();
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
        || !ExportFiles::WriteFileAtomically(jsonPath, DescriptionJson(info), &error)) {
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
