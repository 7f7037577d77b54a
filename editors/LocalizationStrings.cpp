#include "editors/LocalizationStrings.h"

#include "export/ExportManager.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace LocalizationStrings {

namespace {

QString KeyPrefix(const TDialogueNode& node)
{
    return QStringLiteral("node_") + node.ID().left(10);
}

TLocalizationStringRow Row(const QString& key, const QString& text)
{
    const QString shown = text.left(80);
    return { key, shown, shown, QStringLiteral("Untranslated") };
}

bool IsBlank(const QString& text) { return text.trimmed().isEmpty(); }

QString CountText(double count)
{
    if (std::isfinite(count) && std::floor(count) == count && std::fabs(count) < 1e15)
        return QString::number(qint64(count));
    return QString::number(count);
}

QString LoadedMessage(const QString& count)
{
    return QStringLiteral("Localization file loaded successfully.\r\nFound ") + count + QStringLiteral(" strings.");
}

}

QVector<TLocalizationStringRow> BuildStringTable(const TDialogueProject& project)
{
    QVector<TLocalizationStringRow> rows;
    for (const auto& node : project.Nodes()) {
        if (node->NodeType() == ntComment || IsBlank(node->Text()))
            continue;
        rows.append(Row(KeyPrefix(*node) + QStringLiteral("_text"), node->Text()));
        const TPlayerOptionList& options = node->PlayerOptions();
        for (size_t i = 0; i < options.size(); ++i)
            if (!IsBlank(options[i]->Text))
                rows.append(Row(KeyPrefix(*node) + QStringLiteral("_opt") + QString::number(i), options[i]->Text));
    }
    return rows;
}

QString TotalStringsText(int rows)
{
    return QStringLiteral("Total strings: ") + QString::number(rows);
}

bool AddLocale(TDialogueProject& project, const QString& code)
{
    // Blanks around a typed code would make a second, different-looking copy.
    const QString locale = code.trimmed();
    if (locale.isEmpty() || project.Locales().contains(locale, Qt::CaseInsensitive))
        return false;
    project.Locales().append(locale);
    project.SetModified(true);
    return true;
}

bool RemoveLocale(TDialogueProject& project, int index)
{
    if (index <= 0 || index >= project.Locales().size())
        return false;
    project.Locales().removeAt(index);
    project.SetModified(true);
    return true;
}

QString CannotRemoveDefaultMessage()
{
    return QStringLiteral("Cannot remove default locale.");
}

void SetActiveLocale(TDialogueProject& project, int index)
{
    if (index >= 0 && index < project.Locales().size())
        project.SetActiveLocale(project.Locales().at(index));
}

QString ProposedPackFileName(const TDialogueProject& project)
{
    return project.NPCName() + QLatin1Char('_') + project.ActiveLocale();
}

TExportResult ExportPack(TDialogueProject& project, const QString& path)
{
    TExportManager manager(&project);
    TExportOptions options = TExportManager::DefaultOptions();
    options.Format = efLocalization;
    options.OutputPath = path;
    options.LocaleFilter = project.ActiveLocale();
    return manager.Export(options);
}

QString ExportResultMessage(const TExportResult& result)
{
    if (result.Success)
        return QStringLiteral("Exported ") + QString::number(result.FilesGenerated.size())
               + QStringLiteral(" file(s) successfully.");
    return QStringLiteral("Export failed: ") + result.Errors.join(QStringLiteral("\r\n"));
}

QString ImportPackMessage(const QByteArray& fileBytes)
{
    QByteArray bytes = fileBytes;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return QString();
    if (document.isArray())
        return LoadedMessage(QString::number(document.array().size()));
    const QJsonValue count = document.object().value(QStringLiteral("count"));
    if (!count.isDouble())
        return QString();
    return LoadedMessage(CountText(count.toDouble()));
}

}
