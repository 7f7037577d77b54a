#include "shell/MainFormText.h"

#include "export/ExportFiles.h"

namespace MainFormText {

const QChar Replacement(0xFFFD);

QString WindowTitle(const TDialogueProject* project)
{
    QString title = QStringLiteral("Tallowin");
    if (!project)
        return title;
    title += QStringLiteral("  ") + Replacement + QStringLiteral("  ") + project->Name();
    if (project->Modified())
        title += QStringLiteral(" *");
    if (!project->FilePath().isEmpty())
        title += QStringLiteral("  [") + ExportFiles::LastComponent(project->FilePath()) + QLatin1Char(']');
    return title;
}

QString LogLine(TLogLevel level, const QString& text, const QTime& time)
{
    const QString stamp = QLatin1Char('[') + time.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(']');
    return stamp + (level == llInfo ? QStringLiteral("  ") : QStringLiteral(" ? ")) + text;
}

QString TreeRootCaption(const TDialogueProject& project)
{
    return project.Name() + QStringLiteral("  [%1 nodes]").arg(project.NodeCount());
}

QString TreeNodeCaption(const TDialogueNode& node)
{
    QString caption = node.ID().left(10);
    if (!node.Speaker().isEmpty())
        caption += QStringLiteral("  ") + node.Speaker();
    // A view: trimming a text of megabytes would copy all of it.
    const QStringView text = QStringView(node.Text()).trimmed();
    if (!text.isEmpty())
        caption += QStringLiteral(":  ") + text.left(30).toString();
    if (node.IsStartNode())
        caption.prepend(QStringLiteral("[START] "));
    return caption;
}

QString TreeFloatGroupCaption(int count)
{
    return QStringLiteral("Float Messages  [%1]").arg(count);
}

QString TreeFloatCaption(const TFloatMessage& message)
{
    return QLatin1Char('[') + message.Category + QStringLiteral("] ") + message.Text.left(40);
}

QString StatisticsLine(const TDialogueProject& project)
{
    qsizetype options = 0;
    for (const auto& node : project.Nodes())
        options += qsizetype(node->PlayerOptions().size());
    return QStringLiteral("Nodes: %1  |  Options: %2  |  Float msgs: %3")
        .arg(project.NodeCount())
        .arg(options)
        .arg(project.FloatMessages().size());
}

QString NodeCounter(const TDialogueProject* project, int selectedCount)
{
    if (!project)
        return QStringLiteral("Nodes: 0  |  Selected: 0");
    return QStringLiteral("Nodes: %1  |  Selected: %2").arg(project->NodeCount()).arg(selectedCount);
}

QString ZoomCounter(float zoom)
{
    return QStringLiteral("Zoom: %1%").arg(qRound(double(zoom) * 100.0));
}

QStringList StatusPanels(const TDialogueProject* project, const QString& themeName)
{
    if (!project)
        return { QStringLiteral("No project"), QString(), QString(), QString() };
    return { QLatin1Char(' ') + project->Name() + QStringLiteral("  [") + project->NPCName() + QLatin1Char(']'),
             QStringLiteral(" Nodes: %1").arg(project->NodeCount()),
             QStringLiteral(" Theme: ") + themeName,
             QStringLiteral(" Locale: ") + project->ActiveLocale() };
}

QString StartButtonCaption(bool isStartNode)
{
    return isStartNode ? QStringLiteral("? [START NODE]") : QStringLiteral("? Set as Start Node");
}

QString AutoSavePath(const TDialogueProject& project, const QString& executablePath)
{
    if (!project.FilePath().isEmpty())
        return ExportFiles::ChangeFileExt(project.FilePath(), QStringLiteral(".autosave.tlw"));
    return ExportFiles::ChangeFileExt(executablePath, QStringLiteral("_autosave.tlw"));
}

QString ScriptEditorText(const QString& npcScript)
{
    return QStringLiteral("// Global script editor\r\n// Use this to write shared NPC scripts\r\n\r\n") + npcScript;
}

QString AboutText()
{
    const QString bullet = QStringLiteral("  ") + Replacement + QLatin1Char(' ');
    const QStringList lines = {
        QStringLiteral("TALLOWIN"),
        QStringLiteral("Version 1.0.0  ") + Replacement + QStringLiteral("  Desktop Edition"),
        QString(),
        QStringLiteral("A professional RPG dialogue authoring suite"),
        QStringLiteral("for Fallout-style branching dialogue systems."),
        QString(),
        QStringLiteral("Features:"),
        bullet + QStringLiteral("Visual node-based dialogue editor"),
        bullet + QStringLiteral("Skill/stat check system"),
        bullet + QStringLiteral("Conditional branching logic"),
        bullet + QStringLiteral(".MSG and .SSL file export"),
        bullet + QStringLiteral("Dialogue preview simulator"),
        bullet + QStringLiteral("Localization support"),
        bullet + QStringLiteral("Float message editor"),
        bullet + QStringLiteral("Project validation tools"),
        QString(),
        QStringLiteral("Retro-futuristic terminal aesthetics."),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QString UnsavedChangesQuestion()
{
    return QStringLiteral("The current project has unsaved changes.\r\nDo you want to save before proceeding?");
}

}
