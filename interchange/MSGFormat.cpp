#include "interchange/MSGFormat.h"

#include "export/ExportFiles.h"
#include "export/MSGWriter.h"
#include "interchange/MSGImporter.h"

TFormatResult TMSGFormat::Read(const QString& path, std::unique_ptr<TDialogueProject>& project) const
{
    TMSGImporter importer;
    return ToFormatResult(importer.ImportFromFile(path, project));
}

QString TMSGFormat::BuildText(const TDialogueProject& project, QStringList& warnings) const
{
    return ExportFiles::JoinLines(MSGWriter::BuildMSGLines(project, &warnings));
}
