#include "interchange/GameImportReport.h"

QStringList TGameImportReport::Lines() const
{
    QStringList lines;
    lines << QStringLiteral("Game script: ") + ScriptFile;
    lines << (MessageFile.isEmpty() ? QStringLiteral("Message file: none")
                                    : QStringLiteral("Message file: %1 (%2 messages)").arg(MessageFile).arg(MessagesInFile));
    lines << QStringLiteral("Procedures: %1 (%2 dialogue)").arg(Procedures).arg(DialogueProcedures);
    lines << QStringLiteral("Nodes: %1").arg(Nodes);
    lines << QStringLiteral("Options: %1").arg(Options);
    lines << QStringLiteral("Links: %1").arg(Links);
    lines << QStringLiteral("Messages used: %1, unused: %2, missing: %3")
                 .arg(MessagesUsed).arg(MessagesUnused).arg(MissingMessages.size());
    lines << QStringLiteral("Start node: ") + (StartNode.isEmpty() ? QStringLiteral("none") : StartNode);
    if (!NotUnderstood.isEmpty()) {
        lines << QStringLiteral("Not understood (%1):").arg(NotUnderstood.size());
        for (const QString& item : NotUnderstood)
            lines << QStringLiteral("  ") + item;
    }
    if (!MissingMessages.isEmpty()) {
        lines << QStringLiteral("Missing from the message file (%1):").arg(MissingMessages.size());
        for (const TGameMissingMessage& m : MissingMessages)
            lines << QStringLiteral("  Line %1: message %2").arg(m.Line).arg(m.Number);
    }
    for (const QString& note : Notes)
        lines << QStringLiteral("Note: ") + note;
    return lines;
}
