#include "ai/PngCodec.h"

#include "model/AtomicFileWriter.h"

#include <QFile>
#include <QtEndian>

#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace PngCodec {
namespace {

const uchar Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

constexpr png_alloc_size_t MaxChunkBytes = 8 * 1024 * 1024;
constexpr png_uint_32 MaxCachedChunks = 32;
// Deflate shrinks data by at most about 1032:1; twice that leaves room.
constexpr quint64 MaxDeflateRatio = 2048;

bool Fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// libpng's simplified interface, used for writing, keeps its error
// handling inside the library.
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

// libpng reports errors by longjmp. The two functions that call setjmp
// hold no C++ objects, so the jump never skips a destructor; everything
// that needs one lives in the callers.
struct TReadState {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    const png_byte* Data = nullptr;
    size_t Size = 0;
    size_t Position = 0;
    bool Truncated = false;
    char Message[200] = {};
};

void ReadData(png_structp png, png_bytep out, size_t length)
{
    auto* state = static_cast<TReadState*>(png_get_io_ptr(png));
    if (state->Size - state->Position < length) {
        state->Truncated = true;
        png_error(png, "the data ends early");
    }
    std::memcpy(out, state->Data + state->Position, length);
    state->Position += length;
}

void OnError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<TReadState*>(png_get_error_ptr(png));
    std::snprintf(state->Message, sizeof state->Message, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Reads the chunks before the pixels and sets up conversion to 8-bit RGBA.
// `storedBytes` is the size of the pixel rows as stored, before inflating.
bool ReadHeader(TReadState* state, png_uint_32* width, png_uint_32* height, quint64* storedBytes)
{
    if (setjmp(png_jmpbuf(state->Png)))
        return false;
    png_set_read_fn(state->Png, state, ReadData);
    png_read_info(state->Png, state->Info);
    // One filter byte per row.
    *storedBytes = quint64(png_get_rowbytes(state->Png, state->Info) + 1) * png_get_image_height(state->Png, state->Info);
    const int colorType = png_get_color_type(state->Png, state->Info);
    png_set_expand(state->Png);
    png_set_strip_16(state->Png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(state->Png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(state->Png, state->Info, PNG_INFO_tRNS))
        png_set_add_alpha(state->Png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(state->Png);
    png_read_update_info(state->Png, state->Info);
    if (png_get_channels(state->Png, state->Info) != 4 || png_get_bit_depth(state->Png, state->Info) != 8)
        png_error(state->Png, "unsupported pixel layout");
    *width = png_get_image_width(state->Png, state->Info);
    *height = png_get_image_height(state->Png, state->Info);
    return true;
}

bool ReadPixels(TReadState* state, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(state->Png)))
        return false;
    png_read_image(state->Png, rows);
    png_read_end(state->Png, nullptr);
    return true;
}

class TReader {
public:
    explicit TReader(const QByteArray& bytes)
    {
        FState.Data = reinterpret_cast<const png_byte*>(bytes.constData());
        FState.Size = size_t(bytes.size());
        FState.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &FState, OnError, OnWarning);
        if (!FState.Png)
            return;
        FState.Info = png_create_info_struct(FState.Png);
        // Caps what compressed text and colour-profile chunks may inflate
        // to; no chunk we need comes near it. Text and palette-suggestion
        // chunks are not used, so only a few are kept.
        png_set_chunk_malloc_max(FState.Png, MaxChunkBytes);
        png_set_chunk_cache_max(FState.Png, MaxCachedChunks);
        png_set_user_limits(FState.Png, png_uint_32(TRgbaImage::MaxDimension),
                            png_uint_32(TRgbaImage::MaxDimension));
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        // Mutated data almost never has valid checksums; the fuzzer would
        // stop at them instead of reaching the chunks' contents.
        png_set_crc_action(FState.Png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    }
    ~TReader() { png_destroy_read_struct(&FState.Png, FState.Info ? &FState.Info : nullptr, nullptr); }
    TReader(const TReader&) = delete;
    TReader& operator=(const TReader&) = delete;

    bool IsValid() const { return FState.Png && FState.Info; }
    TReadState* State() { return &FState; }
    QString Failure(const QString& prefix) const
    {
        if (FState.Truncated)
            return QStringLiteral("The PNG data is truncated.");
        return prefix + QString::fromLatin1(FState.Message) + QLatin1Char('.');
    }

private:
    TReadState FState;
};

// The width and height in the IHDR chunk, which must come first.
bool HeaderSize(const QByteArray& bytes, quint32& width, quint32& height)
{
    if (bytes.size() < 24 || std::memcmp(bytes.constData() + 12, "IHDR", 4) != 0)
        return false;
    width = qFromBigEndian<quint32>(bytes.constData() + 16);
    height = qFromBigEndian<quint32>(bytes.constData() + 20);
    return true;
}

// True when every chunk up to IEND lies within the data. libpng takes a
// chunk's stated length on trust and allocates (and clears) that much
// before reading, up to 2 GB, and treats its own size cap as a warning.
bool ChunksFit(const QByteArray& bytes)
{
    const qint64 size = bytes.size();
    for (qint64 at = 8; at + 8 <= size;) {
        const qint64 length = qFromBigEndian<quint32>(bytes.constData() + at);
        // Length, type, data, CRC.
        if (length > size - at - 12)
            return false;
        if (std::memcmp(bytes.constData() + at + 4, "IEND", 4) == 0)
            break;
        at += 12 + length;
    }
    return true;
}

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

    // libpng refuses such sizes too, but without naming them.
    quint32 width = 0, height = 0;
    if (HeaderSize(bytes, width, height)
        && (width > quint32(TRgbaImage::MaxDimension) || height > quint32(TRgbaImage::MaxDimension)))
        return Fail(error, QStringLiteral("The PNG image is too large (%1x%2, at most %3x%3).")
                               .arg(width).arg(height).arg(TRgbaImage::MaxDimension));

    if (!ChunksFit(bytes))
        return Fail(error, QStringLiteral("The PNG data is truncated."));

    TReader reader(bytes);
    if (!reader.IsValid())
        return Fail(error, QStringLiteral("libpng could not be initialised."));
    quint64 storedBytes = 0;
    if (!ReadHeader(reader.State(), &width, &height, &storedBytes))
        return Fail(error, reader.Failure(QStringLiteral("Invalid PNG header: ")));
    // Checked before the pixels are allocated: a few bytes claiming a
    // large image fail at once.
    if (storedBytes / MaxDeflateRatio > quint64(bytes.size()))
        return Fail(error, QStringLiteral("The PNG data is truncated (a %1x%2 image cannot fit in %3 bytes).")
                               .arg(width).arg(height).arg(bytes.size()));

    TRgbaImage decoded{int(width), int(height)};
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(decoded.Pixels.data()) + size_t(y) * width * 4;
    if (!ReadPixels(reader.State(), rows.data()))
        return Fail(error, reader.Failure(QStringLiteral("Damaged PNG data: ")));
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
    return TAtomicFileWriter::WriteFile(path, bytes, error);
}

} // namespace PngCodec
