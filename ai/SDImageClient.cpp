#include "ai/SDImageClient.h"

#include "ai/PngCodec.h"
#include "ai/TileText.h"
#include "model/JsonText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

const QString TSDImageClient::DefaultNegativePrompt =
    QStringLiteral("blurry, watermark, text, signature, modern, deformed, extra limbs");

namespace {

TImageGenResult Failed(const QString& message, const TRequestFailure& failure = TRequestFailure())
{
    TImageGenResult result;
    result.ErrorMessage = message;
    result.Failure = failure;
    return result;
}

QByteArray StripBase64Whitespace(const QString& text)
{
    QByteArray bytes = text.toLatin1();
    bytes.removeIf([](char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; });
    return bytes;
}

} // namespace

bool DecodeBase64Png(const QString& text, TRgbaImage& image, QString& error)
{
    image = TRgbaImage();
    QString data = text;
    const qsizetype marker = data.indexOf(QLatin1String("base64,"));
    if (marker >= 0)
        data = data.mid(marker + 7);
    for (const QChar c : data)
        if (c.unicode() > 0x7F) {
            error = QStringLiteral("The image data is not valid base64.");
            return false;
        }
    const auto decoded = QByteArray::fromBase64Encoding(StripBase64Whitespace(data),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        error = QStringLiteral("The image data is not valid base64.");
        return false;
    }
    return PngCodec::Decode(decoded.decoded, image, &error);
}

TSDImageClient::TSDImageClient(const QString& APIKey, const QString& BaseURL, const QString& Model)
    : FAPIKey(APIKey), FBaseURL(BaseURL), FModel(Model), FNegativePrompt(DefaultNegativePrompt)
{
}

bool TSDImageClient::IsLocalServer() const
{
    const QString url = FBaseURL.toLower();
    return url.contains(QLatin1String("127.0.0.1")) || url.contains(QLatin1String("localhost"));
}

QByteArray TSDImageClient::RequestBody(const QString& Prompt, const QString& NegativePrompt, int Width,
                                       int Height, int Steps, double CFGScale) const
{
    const bool comfyStyle = IsComfyStylePort();
    TJsonValue body = TJsonValue::Object();
    body.Add(QStringLiteral("prompt"), Prompt);
    body.Add(QStringLiteral("negative_prompt"), NegativePrompt);
    body.Add(QStringLiteral("width"), Width);
    body.Add(QStringLiteral("height"), Height);
    body.Add(QStringLiteral("steps"), Steps);
    body.Add(QStringLiteral("cfg_scale"), CFGScale);
    if (!comfyStyle)
        body.Add(QStringLiteral("sampler_name"), "Euler a");
    body.Add(QStringLiteral("batch_size"), 1);
    if (comfyStyle)
        body.Add(QStringLiteral("batch_count"), 1);
    return JsonText::Compact(body).toUtf8();
}

TRgbaImage TSDImageClient::MockImage(const QString& prompt, int width, int height)
{
    TRgbaImage image(width, height, RGBToColor(128, 64, 64));
    TileText::Draw(image, 4, height / 2 - 6, QStringLiteral("Mock: ") + prompt.left(20),
                   RGBToColor(255, 255, 255), 10);
    return image;
}

TServiceReply TSDImageClient::Post(const QString& path, const QByteArray& body) const
{
    TServicePost post;
    post.BaseURL = FBaseURL;
    post.Path = path;
    post.UseTls = !IsLocalServer();
    post.Body = body;
    post.BearerToken = FAPIKey;
    post.TimeoutMs = FTimeout;
    post.TrustedCertificateFile = FTrustedCertificateFile;
    post.MaxReplyBytes = MaxReplyBytes;
    return PostJson(post);
}

TServiceReply TSDImageClient::Send(const QByteArray& body) const
{
    TServiceReply reply = Post(QStringLiteral("/sdapi/v1/txt2img"), body);
    // A server on the other well-known port may only offer "/prompt".
    if (!reply.Ok() && IsLocalServer() && IsComfyStylePort())
        reply = Post(QStringLiteral("/prompt"), body);
    return reply;
}

TImageGenResult TSDImageClient::GenerateImage(const QString& Prompt, const QString& NegativePrompt,
                                              int Width, int Height, int Steps, double CFGScale)
{
    if (Prompt.trimmed().isEmpty())
        return Failed(QStringLiteral("Prompt cannot be empty."));
    if (FMockMode) {
        TImageGenResult result;
        result.Image = MockImage(Prompt, Width, Height);
        result.Success = !result.Image.IsNull();
        if (!result.Success)
            result.ErrorMessage = QStringLiteral("Failed to load generated image.");
        return result;
    }

    const QString negative = NegativePrompt.trimmed().isEmpty() ? FNegativePrompt : NegativePrompt;
    const TServiceReply reply = Send(RequestBody(Prompt, negative, Width, Height, Steps, CFGScale));
    if (!reply.Ok())
        return Failed(QStringLiteral("HTTP error: ") + reply.Failure.Message, reply.Failure);

    const QJsonDocument document = QJsonDocument::fromJson(reply.Body);
    if (!document.isObject())
        return Failed(QStringLiteral("Invalid JSON response"));
    const QJsonArray images = document.object().value(QLatin1String("images")).toArray();
    if (images.isEmpty())
        return Failed(QStringLiteral("No images in response"));
    if (!images.first().isString())
        return Failed(QStringLiteral("HTTP error: The first image is not a base64 text."));

    TImageGenResult result;
    QString error;
    if (!DecodeBase64Png(images.first().toString(), result.Image, error))
        return Failed(QStringLiteral("HTTP error: ") + error);
    result.Success = !result.Image.IsNull();
    if (!result.Success)
        result.ErrorMessage = QStringLiteral("Failed to load generated image.");
    return result;
}
