#include "export/LocalizationFormat.h"

#include "export/LocalizationPack.h"
#include "model/JsonText.h"

QString TLocalizationFormat::BuildText(const TDialogueProject& project, QStringList&) const
{
    return JsonText::Indented(LocalizationPack::Build(project)) + QLatin1String("\r\n");
}
