#include "ai/PngCodec.h"

#include <QFile>
#include <QSaveFile>

#include <png.h>

#include <cstring>

namespace PngCodec {
namespace {

const uchar Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool Fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// libpng's simplified interface keeps its error handling (setjmp) inside
// the library, so no C++ frame is ever jumped over.
class TSimplifiedImage {
public:
    TSimplifiedImage()
    {
        std::memset(&FImage, 0, sizeof FImage);
        FImage.version = PNG_IMAGE_VERSION;
    }
    ~TSimplifiedImage() { png_image_free(&FImage); }
    png_image* operator->() { return &FImage; }
    png_image* get() { return &FImage; }
    QString Message() const { return QString::fromLatin1(FImage.message); }

private:
    png_image FImage;
};

} // namespace

bool HasPngSignature(const QByteArray& bytes)
{
    return bytes.size() >= 8 && std::memcmp(bytes.constData(), Signature, 8) == 0;
}

bool Decode(const QByteArray& bytes, TRgbaImage& image, QString* error)
{
    image = TRgbaImage();
    if (bytes.isEmpty())
        return Fail(error, QStringLiteral("The image data is empty."));
    if (!HasPngSignature(bytes))
        return Fail(error, QStringLiteral("The data is not a PNG image."));

    TSimplifiedImage png;
    if (!png_image_begin_read_from_memory(png.get(), bytes.constData(), size_t(bytes.size())))
        return Fail(error, QStringLiteral("Invalid PNG header: ") + png.Message());
    const quint32 width = png->width, height = png->height;
    if (width > quint32(TRgbaImage::MaxDimension) || height > quint32(TRgbaImage::MaxDimension))
        return Fail(error, QStringLiteral("The PNG image is too large (%1x%2, at most %3x%3).")
                               .arg(width).arg(height).arg(TRgbaImage::MaxDimension));
    if (width == 0 || height == 0)
        return Fail(error, QStringLiteral("The PNG image is empty."));

    png->format = PNG_FORMAT_RGBA;
    TRgbaImage decoded{int(width), int(height)};
    if (!png_image_finish_read(png.get(), nullptr, decoded.Pixels.data(), 0, nullptr))
        return Fail(error, QStringLiteral("Damaged or truncated PNG data: ") + png.Message());
    image = std::move(decoded);
    return true;
}

QByteArray Encode(const TRgbaImage& image, QString* error)
{
    if (image.IsNull() || image.Pixels.size() != qsizetype(image.Width) * image.Height * 4) {
        Fail(error, QStringLiteral("There is no image to write."));
        return QByteArray();
    }
    TSimplifiedImage png;
    png->width = png_uint_32(image.Width);
    png->height = png_uint_32(image.Height);
    png->format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    // First pass measures, second writes.
    if (!png_image_write_to_memory(png.get(), nullptr, &size, 0, image.Pixels.constData(), 0, nullptr)) {
        Fail(error, QStringLiteral("PNG encoding failed: ") + png.Message());
        return QByteArray();
    }
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (!png_image_write_to_memory(png.get(), out.data(), &size, 0, image.Pixels.constData(), 0, nullptr)) {
        Fail(error, QStringLiteral("PNG encoding failed: ") + png.Message());
        return QByteArray();
    }
    out.resize(qsizetype(size));
    return out;
}

bool LoadFromFile(const QString& path, TRgbaImage& image, QString* error)
{
    image = TRgbaImage();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
    // A PNG of the largest accepted size compresses to far less than this;
    // anything bigger is not worth reading into memory.
    constexpr qint64 MaxFileBytes = qint64(512) * 1024 * 1024;
    if (file.size() > MaxFileBytes)
        return Fail(error, QStringLiteral("%1 is too large to be loaded as an image.").arg(path));
    const QByteArray bytes = file.readAll();
    QString reason;
    if (!Decode(bytes, image, &reason))
        return Fail(error, path + QStringLiteral(": ") + reason);
    return true;
}

bool SaveToFile(const QString& path, const TRgbaImage& image, QString* error)
{
    const QByteArray bytes = Encode(image, error);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Fail(error, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    return true;
}

} // namespace PngCodec
