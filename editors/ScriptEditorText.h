#pragma once
// The script editor's text services without the window: the function
// reference, one code template per script event, the caret read-out and a
// shallow keyword check. Line breaks in the texts made here are CR LF.

#include "model/DialogueTypes.h"

#include <QString>
#include <QStringList>

namespace ScriptEditorText {

// The reference box, one entry per line.
QStringList ReferenceLines();

// "seOnDialogueStart" ... "seOnDialogueEnd", in enumeration order.
QStringList EventIdentifiers();
QString TemplateFor(TScriptEvent event);

// What Insert Template appends to `code`: an empty line, then the template.
QString TemplateSuffix(const QString& code, TScriptEvent event);
QString AppendTemplate(const QString& code, TScriptEvent event);

// "Ln L  Col C  Lines: N" from the zero-based caret line and column.
QString LineInfoText(int line, int column, int lineCount);

// The editing box breaks lines with LF alone; the script keeps CR LF.
QString ToEditorText(const QString& code);
QString FromEditorText(const QString& text);

// "Script Validation:\r\n" followed by the keyword notes, each ending in CR LF.
QString ValidationMessage(const QString& code);

}
