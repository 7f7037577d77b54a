#include "ai/OllamaCloudClient.h"

#include "model/JsonText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <exception>

const QString TOllamaCloudClient::DefaultBaseURL = QStringLiteral("https://ollama.com/v1");

namespace {

constexpr qint64 MaxReplyBytes = 16 * 1024 * 1024;

QString Ellipsized(const QString& text, int length)
{
    return text.left(length) + QStringLiteral("...");
}

} // namespace

QString JsonMemberText(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    if (value.isObject())
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    if (value.isArray())
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 15);
    return QStringLiteral("null");
}

TOllamaCloudClient::TOllamaCloudClient(const QString& APIKey, const QString& Model)
    : FAPIKey(APIKey), FBaseURL(DefaultBaseURL), FModel(Model)
{
}

QByteArray TOllamaCloudClient::RequestBody(const QString& Prompt, int MaxTokens) const
{
    TJsonValue body = TJsonValue::Object();
    body.Add(QStringLiteral("model"), FModel);
    body.Add(QStringLiteral("prompt"), Prompt);
    body.Add(QStringLiteral("max_tokens"), MaxTokens);
    body.Add(QStringLiteral("temperature"), 0.7);
    body.Add(QStringLiteral("stream"), false);
    return JsonText::Compact(body).toUtf8();
}

QString TOllamaCloudClient::MockReply(const QString& prompt) const
{
    return QStringLiteral("[MOCK] I am ") + FModel + QStringLiteral(". ") + Ellipsized(prompt, 50);
}

QString TOllamaCloudClient::FailedRequestReply(const QString& prompt) const
{
    return QStringLiteral("[MOCK] ") + FModel + QStringLiteral(": ") + Ellipsized(prompt, 80);
}

QString TOllamaCloudClient::GenerateText(const QString& Prompt, int MaxTokens)
{
    FLastFailure = TRequestFailure();
    if (FMockMode || FAPIKey.trimmed().isEmpty())
        return MockReply(Prompt);
    try {
        return Send(Prompt, MaxTokens);
    } catch (const std::exception& e) {
        const QString message = QString::fromLocal8Bit(e.what());
        FLastFailure.Kind = rfOther;
        FLastFailure.Message = message;
        if (message.contains(QLatin1String("SSL")))
            return QStringLiteral("Error: Missing OpenSSL libraries. Download libeay32.dll and ssleay32.dll");
        return QStringLiteral("Error: ") + message;
    }
}

QString TOllamaCloudClient::Send(const QString& prompt, int maxTokens)
{
    TServicePost post;
    post.BaseURL = FBaseURL;
    post.Path = QStringLiteral("/api/generate");
    post.UseTls = TServiceAddress::Parse(FBaseURL).Scheme != QLatin1String("http");
    post.Body = RequestBody(prompt, maxTokens);
    post.BearerToken = FAPIKey;
    post.TimeoutMs = FTimeout;
    post.TrustedCertificateFile = FTrustedCertificateFile;
    post.MaxReplyBytes = MaxReplyBytes;

    const TServiceReply reply = PostJson(post);
    FLastFailure = reply.Failure;
    switch (reply.Failure.Kind) {
    case rfNone:
        break;
    case rfTlsUnavailable:
        // The key is the only other value at hand and must not be echoed.
        return QStringLiteral("Error: SSL library not available. Using mock mode. ")
             + QStringLiteral("Install OpenSSL to reach the service.");
    case rfReplyTooLarge:
        return QStringLiteral("Error: ") + reply.Failure.Message;
    default:
        return FailedRequestReply(prompt);
    }

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(reply.Body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return QStringLiteral("Error: The service reply is not valid JSON (%1 at offset %2).")
            .arg(parseError.errorString()).arg(parseError.offset);
    if (!document.isObject())
        return QStringLiteral("Error: The service reply is not a JSON object.");
    const QJsonObject object = document.object();
    if (object.contains(QLatin1String("response")))
        return JsonMemberText(object.value(QLatin1String("response")));
    if (object.contains(QLatin1String("error")))
        return QStringLiteral("Error: ") + JsonMemberText(object.value(QLatin1String("error")));
    return QStringLiteral("Response: ") + QString::fromUtf8(reply.Body);
}

std::optional<QJsonObject> TOllamaCloudClient::GenerateJSON(const QString& Prompt, int MaxTokens)
{
    const QString reply = GenerateText(Prompt, MaxTokens);
    const qsizetype first = reply.indexOf(QLatin1Char('{'));
    const qsizetype last = reply.lastIndexOf(QLatin1Char('}'));
    if (first < 0 || last <= first)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(reply.mid(first, last - first + 1).toUtf8());
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}
