#include "shell/NodeTextBox.h"

#include "model/DialogueTypes.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace {

// The box turns CR LF into LF; a stored text that differs only so is the
// same text.
bool SameText(const QString& shown, QStringView stored)
{
    if (shown == stored)
        return true;
    QString normalized = stored.toString();
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown == normalized;
}

QString CaptionFor(qsizetype shown, qsizetype total)
{
    if (shown >= total)
        return QStringLiteral("Text:");
    return QStringLiteral("Text (first %1 of %2 characters):").arg(shown).arg(total);
}

}

TNodeTextBox::TNodeTextBox(QPlainTextEdit* memo, QLabel* caption) : FMemo(memo), FCaption(caption) {}

qsizetype TNodeTextBox::CutLength(const QString& text)
{
    if (text.size() <= ShownLength)
        return text.size();
    qsizetype cut = ShownLength;
    if (text.at(cut - 1).isHighSurrogate() || (text.at(cut - 1) == u'\r' && text.at(cut) == u'\n'))
        --cut;
    return cut;
}

void TNodeTextBox::Show(const TDialogueNode* node)
{
    if (!node) {
        FShownLength = 0;
        FCut = false;
        FMemo->clear();
        FCaption->setText(CaptionFor(0, 0));
        return;
    }
    const QString& text = node->Text();
    FShownLength = CutLength(text);
    FCut = FShownLength < text.size();
    FMemo->setPlainText(FCut ? text.left(FShownLength) : text);
    FCaption->setText(CaptionFor(FShownLength, text.size()));
}

bool TNodeTextBox::Differs(const TDialogueNode& node) const
{
    return !SameText(FMemo->toPlainText(), QStringView(node.Text()).left(FShownLength));
}

void TNodeTextBox::ApplyTo(TDialogueNode& node)
{
    const QString shown = FMemo->toPlainText();
    node.ReplaceTextPart(0, FShownLength, shown);
    FShownLength = shown.size();
    if (FCut)
        FCaption->setText(CaptionFor(FShownLength, node.Text().size()));
}
