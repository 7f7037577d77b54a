// Any bytes, decoded as an MSG file would be, must import without a crash,
// a hang or a result that disagrees with the project it returns.

#include "interchange/MSGImporter.h"
#include "fuzz/FuzzSupport.h"
#include "model/TextEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const QString text = TextEncoding::DecodeText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    TMSGImporter importer;
    std::unique_ptr<TDialogueProject> project;
    const TMSGImportResult r = importer.ImportFromText(text, project);
    Require(project != nullptr && r.Project == project.get(), "project returned");
    Require(r.Success == r.Errors.isEmpty(), "Success means no errors");
    Require(r.NodeCount == project->NodeCount(), "NodeCount");
    Require(project->StartNodeID() == (project->NodeCount() ? project->NodeAt(0)->ID() : QString()), "start node");
    for (int i = 0; i < project->NodeCount(); ++i) {
        const TDialogueNode* n = project->NodeAt(i);
        Require(!n->Text().isEmpty(), "no empty message");
        Require(n->NextNodeID() == (i + 1 < project->NodeCount() ? project->NodeAt(i + 1)->ID() : QString()),
                "chained in order");
    }
    for (const QString& e : r.Errors)
        Require(e.startsWith(QLatin1String("Line ")) && e.contains(QLatin1String(": Could not parse: ")),
                "error shape");
    return 0;
}
