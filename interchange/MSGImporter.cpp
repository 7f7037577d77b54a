#include "interchange/MSGImporter.h"

#include "interchange/SSLMSGText.h"

#include <algorithm>
#include <vector>

using SSLMSGText::TrimView;

TMSGLine ParseMSGLine(QStringView line, TMSGTextSpaces spaces)
{
    TMSGLine result;
    if (!line.startsWith(QLatin1Char('{')))
        return result;
    const qsizetype close1 = line.indexOf(QLatin1Char('}'), 1);
    if (close1 < 0)
        return result;
    qint32 number = 0;
    if (!SSLMSGText::TryParseInt32(TrimView(line.mid(1, close1 - 1)).toString(), number))
        return result;
    // The second field: its opening brace, then its closing brace.
    const qsizetype open2 = line.indexOf(QLatin1Char('{'), close1 + 1);
    if (open2 < 0)
        return result;
    const qsizetype close2 = line.indexOf(QLatin1Char('}'), open2 + 1);
    if (close2 < 0)
        return result;
    // The text: after the next opening brace, to the next closing brace or
    // the end of the line.
    const qsizetype open3 = line.indexOf(QLatin1Char('{'), close2 + 1);
    if (open3 < 0)
        return result;
    const qsizetype close3 = line.indexOf(QLatin1Char('}'), open3 + 1);
    const QStringView text = close3 < 0 ? line.mid(open3 + 1) : line.mid(open3 + 1, close3 - open3 - 1);
    result.Number = number;
    const bool exact = spaces == msKeep && close3 >= 0;
    result.Text = UnescapeMSGText((exact ? text : TrimView(text)).toString());
    result.Readable = !TrimView(result.Text).isEmpty();
    result.Unclosed = close3 < 0;
    return result;
}

QString UnescapeMSGText(QString text)
{
    text.replace(QLatin1String("\\}"), QLatin1String("}"));
    text.replace(QLatin1String("\\{"), QLatin1String("{"));
    return text;
}

// A message whose text has no closing brace on its line goes on over the
// following lines, as the games' own files write long messages, up to the
// line holding the closing brace; a line that starts a new message ("{"), or
// the end of the file, ends it where it stands. The pieces are joined with
// one space. Returns the index of the last line used.
qsizetype ReadMSGContinuation(const QVector<QStringView>& lines, qsizetype index, QString& text)
{
    QString joined = text;
    for (qsizetype i = index + 1; i < lines.size(); ++i) {
        const QStringView line = TrimView(lines.at(i));
        if (line.startsWith(QLatin1Char('{')))
            break;
        const qsizetype close = line.indexOf(QLatin1Char('}'));
        const QString piece = UnescapeMSGText(TrimView(close < 0 ? line : line.left(close)).toString());
        if (!piece.isEmpty())
            joined += (joined.isEmpty() ? QString() : QStringLiteral(" ")) + piece;
        if (close >= 0) {
            text = joined;
            return i;
        }
    }
    return index;
}

TMSGLine ReadMSGMessage(const QVector<QStringView>& lines, QStringView trimmedLine, qsizetype& index,
                        TMSGTextSpaces spaces)
{
    TMSGLine msg = ParseMSGLine(trimmedLine, spaces);
    if (msg.Unclosed) {
        index = ReadMSGContinuation(lines, index, msg.Text);
        msg.Readable = !msg.Text.isEmpty();
    }
    return msg;
}

TMSGImporter::TMSGImporter() = default;
TMSGImporter::~TMSGImporter() = default;

TMSGImportResult TMSGImporter::ImportFromText(const QString& AText, std::unique_ptr<TDialogueProject>& AProject)
{
    FText = AText;
    FLines = SSLMSGText::SplitLineViews(FText);
    FErrors.clear();
    FWarnings = 0;
    FNodeMap.clear();

    // Collect the numbers of readable lines, with the first text of each.
    std::vector<qint32> numbers;
    QHash<qint32, QString> firstText;
    for (qsizetype i = 0; i < FLines.size(); ++i) {
        const QStringView line = TrimView(FLines.at(i));
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1String("//")))
            continue;
        if (!line.startsWith(QLatin1Char('{')))
            continue;
        const qsizetype first = i;
        const TMSGLine msg = ReadMSGMessage(FLines, line, i);
        if (!msg.Readable) {
            FErrors.append(QStringLiteral("Line %1: Could not parse: ").arg(first + 1) + line.left(60).toString());
            continue;
        }
        if (msg.Number < 0)
            continue;
        numbers.push_back(msg.Number);
        if (!firstText.contains(msg.Number))
            firstText.insert(msg.Number, msg.Text);
    }

    // Ascending order unless already so.
    if (!std::is_sorted(numbers.begin(), numbers.end()))
        std::stable_sort(numbers.begin(), numbers.end());

    // One node per number. A number met again (on a later readable line)
    // makes no second node: it is counted as a number that gave no node.
    AProject = std::make_unique<TDialogueProject>();
    TDialogueProject* project = AProject.get();
    TDialogueNode* previous = nullptr;
    TDialogueNode* first = nullptr;
    qint64 nextNumber = 1;
    for (qint32 number : numbers) {
        const QString text = FNodeMap.contains(number) ? QString() : firstText.value(number);
        if (text.isEmpty()) {
            ++FWarnings;
            continue;
        }
        // What TDialogueProject::AddNode makes in this fresh project, without
        // its scan of every node (quadratic over a large file).
        auto made = std::make_unique<TDialogueNode>(
            QStringLiteral("Node%1").arg(nextNumber++, 3, 10, QLatin1Char('0')), ntNPCDialogue);
        if (project->NodeCount() == 0)
            made->SetIsStartNode(true);
        TDialogueNode* node = project->AppendNode(std::move(made));
        project->SetModified(true);
        node->SetNotes(QStringLiteral("Original MSG ID: ") + QString::number(number));
        node->SetText(text);
        node->SetSpeaker(QStringLiteral("NPC"));
        if (previous)
            previous->SetNextNodeID(node->ID());
        if (!first)
            first = node;
        previous = node;
        FNodeMap.insert(number, node);
    }

    // Start node, name and a row layout.
    project->SetStartNodeID(first ? first->ID() : QString());
    project->SetName(QStringLiteral("Imported from .MSG"));
    qint64 x = 50;
    for (const auto& node : project->Nodes()) {
        node->SetX(qint32(std::min<qint64>(x, 2147483647)));
        node->SetY(50);
        x += 250;
    }

    TMSGImportResult result;
    result.Success = FErrors.isEmpty();
    result.Errors = FErrors;
    result.WarningCount = FWarnings;
    result.NodeCount = project->NodeCount();
    result.Project = project;
    FLines.clear();
    FText.clear();
    FNodeMap.clear();
    return result;
}

TMSGImportResult TMSGImporter::ImportFromFile(const QString& AFilePath, std::unique_ptr<TDialogueProject>& AProject)
{
    const QString text = SSLMSGText::ReadTextFile(AFilePath);
    TMSGImportResult result = ImportFromText(text, AProject);
    if (result.Success)
        AProject->SetName(SSLMSGText::FileTitle(AFilePath));
    return result;
}
