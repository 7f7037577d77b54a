#pragma once
// The node information panel's text box. It holds only the first part of a
// long text: laying out and copying megabytes of text on every selection
// and keystroke froze the window for seconds. Typing replaces that part of
// the node's text in place; the rest stays exactly as stored.

#include <QString>

class QLabel;
class QPlainTextEdit;
class TDialogueNode;

class TNodeTextBox {
public:
    // Characters of a node's text the box holds at most.
    static constexpr qsizetype ShownLength = 32 * 1024;

    TNodeTextBox(QPlainTextEdit* memo, QLabel* caption);

    // Fills the box with the node's text, or empties it for null.
    void Show(const TDialogueNode* node);
    // Whether the box's contents differ from the part of the node's text
    // it holds.
    bool Differs(const TDialogueNode& node) const;
    // Writes the box's contents over that part.
    void ApplyTo(TDialogueNode& node);
    // Whether the box holds less than the whole text.
    bool IsCut() const { return FCut; }

    // Where a text is cut for the box: at most ShownLength characters,
    // never inside a surrogate pair or a CR LF.
    static qsizetype CutLength(const QString& text);

private:
    QPlainTextEdit* FMemo;
    QLabel* FCaption;
    qsizetype FShownLength = 0;   // characters of the stored text in the box
    bool FCut = false;
};
