// Feeds arbitrary bytes to the FMF reader, then writes what it read and
// reads that again: neither step may crash, hang or touch memory it should
// not, and the reader must always hand back a project.

#include "interchange/FMFExporter.h"
#include "interchange/FMFImporter.h"
#include "fuzz/FuzzSupport.h"
#include "model/TextEncoding.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = TextEncoding::DecodeText(bytes);

    TFMFImporter importer;
    std::unique_ptr<TDialogueProject> project;
    const TFMFImportResult imported = importer.ImportFromText(text, project);
    Require(imported.Success && project && imported.NodeCount == project->NodeCount(), "reader hands back a project");

    TFMFExporter exporter;
    const TFMFExportResult exported = exporter.ExportToText(project.get());
    Require(exported.Success && exported.NodeCount == project->NodeCount(), "writer writes every node");

    std::unique_ptr<TDialogueProject> again;
    const TFMFImportResult reread = importer.ImportFromText(exported.Text, again);
    // Every node the writer names comes back as a node of that name.
    Require(reread.Success && again && again->NodeCount() == project->NodeCount(), "written text reads back");
    return 0;
}
