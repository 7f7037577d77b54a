#include "interchange/SSLFormat.h"

#include "export/ExportFiles.h"
#include "export/SSLGenerator.h"
#include "interchange/SSLImporter.h"

TFormatResult TSSLFormat::Read(const QString& path, std::unique_ptr<TDialogueProject>& project) const
{
    TSSLImporter importer;
    return ToFormatResult(importer.ImportFromFile(path, project));
}

QString TSSLFormat::BuildText(const TDialogueProject& project, QStringList& warnings) const
{
    TSSLGenerator generator(project);
    const QStringList lines = generator.BuildSSLScript();
    warnings = generator.Warnings();
    return ExportFiles::JoinLines(lines);
}
