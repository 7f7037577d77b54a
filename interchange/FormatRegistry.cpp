#include "interchange/FormatRegistry.h"

#include "export/CityTxtFormat.h"
#include "export/DataRequiredFormat.h"
#include "export/JsonExportFormat.h"
#include "export/LocalizationFormat.h"
#include "export/ModPackageFormat.h"
#include "export/PackageFormat.h"
#include "interchange/FMFFormat.h"
#include "interchange/GameDialogueFormat.h"
#include "interchange/MSGFormat.h"
#include "interchange/SSLFormat.h"

TFormatRegistry::TFormatRegistry()
{
    // The export manager's formats first, in the order of their values.
    FFormats.push_back(std::make_unique<TJsonExportFormat>());
    FFormats.push_back(std::make_unique<TMSGFormat>());
    FFormats.push_back(std::make_unique<TSSLFormat>());
    FFormats.push_back(std::make_unique<TLocalizationFormat>());
    FFormats.push_back(std::make_unique<TPackageFormat>());
    FFormats.push_back(std::make_unique<TCityTxtFormat>());
    FFormats.push_back(std::make_unique<TDataRequiredFormat>(efMAP, QStringLiteral("Fallout Map File"),
        QStringLiteral("MAP export requires map data configuration")));
    FFormats.push_back(std::make_unique<TDataRequiredFormat>(efFRM, QStringLiteral("Fallout Frame File"),
        QStringLiteral("FRM export requires frame data configuration")));
    FFormats.push_back(std::make_unique<TModPackageFormat>());
    FFormats.push_back(std::make_unique<TGameDialogueFormat>());
    FFormats.push_back(std::make_unique<TFMFFormat>());
}

const TFormatRegistry& TFormatRegistry::Instance()
{
    static const TFormatRegistry registry;
    return registry;
}

const TDialogueFormat* TFormatRegistry::ByKey(const QString& key) const
{
    if (key.isEmpty())
        return nullptr;
    for (const auto& format : FFormats)
        if (format->Key().compare(key, Qt::CaseInsensitive) == 0)
            return format.get();
    return nullptr;
}

const TDialogueFormat* TFormatRegistry::Reader(const QString& key) const
{
    for (const auto& format : FFormats)
        if (format->CanRead() && format->Key().compare(key, Qt::CaseInsensitive) == 0)
            return format.get();
    return nullptr;
}

const TDialogueFormat* TFormatRegistry::Writer(const QString& key) const
{
    for (const auto& format : FFormats)
        if (format->CanWrite() && format->Key().compare(key, Qt::CaseInsensitive) == 0)
            return format.get();
    return nullptr;
}

const TDialogueFormat* TFormatRegistry::ForExport(TExportFormat value) const
{
    for (const auto& format : FFormats)
        if (format->ExportFormat() == value)
            return format.get();
    return nullptr;
}

QStringList TFormatRegistry::ReadKeys() const
{
    QStringList keys;
    for (const auto& format : FFormats)
        if (format->CanRead() && !format->Key().isEmpty())
            keys << format->Key();
    return keys;
}

QStringList TFormatRegistry::WriteKeys() const
{
    QStringList keys;
    for (const auto& format : FFormats)
        if (format->CanWrite() && !format->Key().isEmpty())
            keys << format->Key();
    return keys;
}
