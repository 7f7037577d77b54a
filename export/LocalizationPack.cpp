#include "export/LocalizationPack.h"

namespace LocalizationPack {
namespace {

TJsonValue Entry(const QString& key, const QString& context, const QString& text)
{
    TJsonValue entry = TJsonValue::Object();
    entry.Add(QStringLiteral("key"), key);
    entry.Add(QStringLiteral("context"), context);
    entry.Add(QStringLiteral("source"), text);
    entry.Add(QStringLiteral("translation"), text);
    return entry;
}

QString NodeContext(const TDialogueNode& node)
{
    const int type = node.NodeType();
    QString context = QString::fromLatin1(NodeTypeNames[type < NodeTypeCount ? type : ntNPCDialogue]);
    if (!node.Speaker().isEmpty())
        context += QStringLiteral(" (") + node.Speaker() + QLatin1Char(')');
    return context;
}

bool IsBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}

} // namespace

TJsonValue Build(const TDialogueProject& project)
{
    TJsonValue pack = TJsonValue::Array();
    for (const auto& node : project.Nodes()) {
        if (node->NodeType() == ntComment || IsBlank(node->Text()))
            continue;
        const QString prefix = QStringLiteral("node_") + node->ID();
        pack.Append(Entry(prefix + QStringLiteral("_text"), NodeContext(*node), node->Text()));
        const TPlayerOptionList& options = node->PlayerOptions();
        for (size_t i = 0; i < options.size(); ++i) {
            if (IsBlank(options[i]->Text))
                continue;
            pack.Append(Entry(prefix + QStringLiteral("_opt%1_text").arg(i), QStringLiteral("Player option"),
                              options[i]->Text));
        }
    }
    return pack;
}

}
