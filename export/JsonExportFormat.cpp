#include "export/JsonExportFormat.h"

#include "model/DialogueTypes.h"
#include "model/JsonText.h"

QString TJsonExportFormat::BuildText(const TDialogueProject& project, QStringList&) const
{
    return JsonText::Indented(project.ToJSON()) + QLatin1String("\r\n");
}
