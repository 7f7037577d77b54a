// Any bytes, decoded as an SSL file would be, must import without a crash,
// a hang or a result that disagrees with the project it returns.

#include "interchange/SSLImporter.h"
#include "fuzz/FuzzSupport.h"
#include "model/TextEncoding.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const QString text = TextEncoding::DecodeText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    TSSLImporter importer;
    std::unique_ptr<TDialogueProject> project;
    const TSSLImportResult r = importer.ImportFromText(text, project);
    Require(project != nullptr, "project returned");
    Require(r.Success == r.Errors.isEmpty(), "Success means no errors");
    Require(r.NodeCount == project->NodeCount(), "NodeCount");
    QSet<QString> ids;
    for (const auto& n : project->Nodes())
        ids.insert(n->ID());
    Require(ids.size() == project->NodeCount(), "unique node IDs");
    int unresolved = 0;
    for (const auto& n : project->Nodes()) {
        unresolved += !n->NextNodeID().isEmpty() && !ids.contains(n->NextNodeID());
        for (const auto& o : n->PlayerOptions())
            unresolved += !o->TargetNodeID.isEmpty() && !ids.contains(o->TargetNodeID);
    }
    Require(unresolved == r.WarningCount, "WarningCount counts unresolved links");
    for (const QString& e : r.Errors)
        Require(e.startsWith(QLatin1String("Line ")), "errors carry their line");
    return 0;
}
