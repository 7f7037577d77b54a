#include "project/AppSettings.h"

#include "model/AtomicFileWriter.h"
#include "model/DialogueTypes.h"
#include "model/JsonText.h"
#include "model/TextEncoding.h"
#include "project/AppPaths.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {

std::unique_ptr<TAppSettings>& SharedInstance()
{
    static std::unique_ptr<TAppSettings> instance;
    return instance;
}

// The text of a JSON value as the settings reader compares it: a string's
// content, a number's digits, "true"/"false" for booleans.
QString ValueText(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::String: return v.toString();
    case QJsonValue::Bool: return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double: {
        // Only a double inside the 64-bit range may be converted: past it
        // (1e20, -1e20, an infinity) the conversion is undefined. Such a
        // number is no 32-bit whole number either, so its 'g' text, which
        // no reader takes for one, is as good.
        constexpr double Limit = 9223372036854775808.0;   // 2^63
        const double d = v.toDouble();
        if (d >= -Limit && d < Limit && d == double(qint64(d)))
            return QString::number(qint64(d));
        return QString::number(d, 'g', 17);
    }
    default: return QString();
    }
}

qint32 WholeNumberOr(const QString& text, qint32 fallback)
{
    bool ok = false;
    const qint32 n = text.toInt(&ok, 10);
    return ok ? n : fallback;
}

}

TAppSettings& TAppSettings::Instance()
{
    auto& instance = SharedInstance();
    if (!instance)
        instance = std::make_unique<TAppSettings>(AppPaths::BesideExecutable(QStringLiteral("tlw_settings.json")));
    return *instance;
}

void TAppSettings::Shutdown()
{
    auto& instance = SharedInstance();
    if (!instance)
        return;
    try {
        instance->Save();
    } catch (const EDialogueError& e) {
        qWarning("%s", qPrintable(e.Message()));
    }
    instance.reset();
}

TAppSettings::TAppSettings(const QString& filePath)
    : FFilePath(filePath)
{
    Load();
}

void TAppSettings::Load()
{
    QFile file(FFilePath);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QString text = TextEncoding::DecodeText(file.readAll());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return;
    const QJsonObject o = doc.object();
    if (o.contains(QLatin1String("AutoSave")))
        FAutoSave = ValueText(o.value(QLatin1String("AutoSave"))) == QLatin1String("true");
    if (o.contains(QLatin1String("AutoSaveInterval")))
        FAutoSaveInterval = WholeNumberOr(ValueText(o.value(QLatin1String("AutoSaveInterval"))), 120);
    if (o.contains(QLatin1String("Theme")))
        FTheme = ValueText(o.value(QLatin1String("Theme")));
    if (o.contains(QLatin1String("AIAPIKey")))
        FAIAPIKey = ValueText(o.value(QLatin1String("AIAPIKey")));
    if (o.contains(QLatin1String("AIDefaultPersona")))
        FAIDefaultPersona = ValueText(o.value(QLatin1String("AIDefaultPersona")));
    if (o.contains(QLatin1String("ShowSplash")))
        FShowSplash = ValueText(o.value(QLatin1String("ShowSplash"))) == QLatin1String("true");
}

QByteArray TAppSettings::ToFileText() const
{
    TJsonValue o = TJsonValue::Object();
    o.Add(QStringLiteral("AutoSave"), FAutoSave);
    o.Add(QStringLiteral("AutoSaveInterval"), int(FAutoSaveInterval));
    o.Add(QStringLiteral("Theme"), FTheme);
    o.Add(QStringLiteral("AIAPIKey"), FAIAPIKey);
    o.Add(QStringLiteral("AIDefaultPersona"), FAIDefaultPersona);
    o.Add(QStringLiteral("ShowSplash"), FShowSplash);
    return JsonText::Compact(o).toUtf8();
}

void TAppSettings::Save()
{
    // The file holds the AI service key: only its owner may read it.
    TAtomicFileWriter file(FFilePath);
    if (!file.Open())
        throw EDialogueError(file.Error());
    file.SetPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!file.Write(ToFileText()) || !file.Commit())
        throw EDialogueError(file.Error());
    QFile::setPermissions(FFilePath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
