#include "export/MSGWriter.h"

namespace MSGWriter {
namespace {

QString MsgLine(int number, const QString& text)
{
    return QLatin1Char('{') + QString::number(number) + QStringLiteral("}{}{") + EscapeMsgText(text)
        + QLatin1Char('}');
}

} // namespace

QString EscapeMsgText(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\r':
            if (i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QLatin1Char(' ');
            break;
        case '\n':
            out += QLatin1Char(' ');
            break;
        case '\t':
            out += QLatin1String("  ");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QStringList BuildMSGLines(const TDialogueProject& project, QStringList* warnings)
{
    QStringList lines;
    lines.reserve(qsizetype(project.Nodes().size()) * 4);
    int counter = 0;
    auto add = [&](const QString& text, const QString& where) {
        ++counter;
        lines.append(MsgLine(counter, text));
        if (warnings && text.contains(QLatin1Char('}')))
            warnings->append(QStringLiteral("Message %1 (%2) contains \"}\", which ends the message early in the game")
                                 .arg(counter)
                                 .arg(where));
    };
    for (const auto& node : project.Nodes()) {
        add(node->Text(), QStringLiteral("text of node ") + node->ID());
        const TPlayerOptionList& options = node->PlayerOptions();
        for (size_t i = 0; i < options.size(); ++i)
            add(options[i]->Text, QStringLiteral("option %1 of node ").arg(i) + node->ID());
    }
    return lines;
}

}
