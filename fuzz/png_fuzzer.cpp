// Feeds arbitrary bytes to the PNG decoder: it fails with a message or
// hands back an image within the size limit, never crashes, hangs or
// allocates far beyond what the data can describe; a decoded image encodes
// and decodes to the same pixels.

#include "ai/PngCodec.h"
#include "fuzz/FuzzSupport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    TRgbaImage image;
    QString error;
    if (!PngCodec::Decode(bytes, image, &error)) {
        Require(image.IsNull() && !error.isEmpty(), "a failed decode says why and leaves no image");
        return 0;
    }
    Require(TRgbaImage::IsValidSize(image.Width, image.Height)
                && image.Pixels.size() == qsizetype(image.Width) * image.Height * 4,
            "decoded image has a valid size");
    // Re-encoding the largest images would only make the run slow.
    if (qsizetype(image.Width) * image.Height > 1024 * 1024)
        return 0;
    TRgbaImage again;
    Require(PngCodec::Decode(PngCodec::Encode(image), again, &error) && again == image,
            "decoded image encodes and decodes to the same pixels");
    return 0;
}
