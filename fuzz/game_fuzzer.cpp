// Any bytes, decoded as a game script would be, read with a fixed message
// file, must import without a crash or a hang, with a result that agrees
// with its project, and with a frame that still gives back the script.

#include "fuzz/FuzzSupport.h"
#include "interchange/GameDialogueImporter.h"
#include "model/TextEncoding.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const QString text = TextEncoding::DecodeText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    static const QString messages = QStringLiteral("{100}{}{Hello.}\n{101}{}{Two\nlines.}\n{150}{}{Away!}\n");
    TGameDialogueImporter importer;
    std::unique_ptr<TDialogueProject> project;
    const TGameImportResult r = importer.ImportFromText(text, &messages, project);
    Require(project != nullptr, "project returned");
    Require(r.Success == r.Errors.isEmpty(), "Success means no errors");
    Require(r.NodeCount == project->NodeCount(), "NodeCount");
    Require(r.Report.Nodes == project->NodeCount(), "report counts the nodes");
    QSet<QString> ids;
    int options = 0;
    for (const auto& n : project->Nodes()) {
        ids.insert(n->ID());
        options += int(n->PlayerOptions().size());
    }
    Require(ids.size() == project->NodeCount(), "unique node IDs");
    Require(options == r.Report.Options, "report counts the options");
    Require(project->NodeCount() == 0 || project->FindNode(project->StartNodeID()), "start node exists");
    for (const QString& item : r.Report.NotUnderstood)
        Require(item.startsWith(QLatin1String("Line ")), "findings carry their line");
    if (!text.contains(QChar(0))) {
        const QHash<QString, QString> declarations = importer.DialogueDeclarationSources();
        const QHash<QString, QString> procedures = importer.DialogueProcedureSources();
        QString rebuilt;
        for (const TGameScriptPart& part : project->GameScript().Parts) {
            if (part.Kind == TGameScriptPart::gpText)
                rebuilt += part.Text;
            else if (part.Kind == TGameScriptPart::gpDeclaration)
                rebuilt += declarations.value(part.Text.toLower());
            else
                rebuilt += procedures.value(part.Text.toLower());
        }
        Require(rebuilt == text, "the frame gives back the script");
    }
    return 0;
}
