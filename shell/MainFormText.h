#pragma once
// The texts the main window shows, computed from the project alone so they
// can be checked without a window: title, log lines, tree captions,
// counters, status panels, autosave target and the About box.

#include "model/DialogueTypes.h"

#include <QString>
#include <QStringList>
#include <QTime>

enum TLogLevel { llInfo = 0, llWarning = 1, llError = 2 };

namespace MainFormText {

extern const QChar Replacement;   // U+FFFD, part of several captions

QString WindowTitle(const TDialogueProject* project);
// "[hh:nn:ss]  text" for information, "[hh:nn:ss] ? text" otherwise.
QString LogLine(TLogLevel level, const QString& text, const QTime& time);

QString TreeRootCaption(const TDialogueProject& project);
QString TreeNodeCaption(const TDialogueNode& node);
QString TreeFloatGroupCaption(int count);
QString TreeFloatCaption(const TFloatMessage& message);

QString StatisticsLine(const TDialogueProject& project);
QString NodeCounter(const TDialogueProject* project, int selectedCount);
QString ZoomCounter(float zoom);
// The four status panels.
QStringList StatusPanels(const TDialogueProject* project, const QString& themeName);
QString StartButtonCaption(bool isStartNode);

// Where the autosave copy of `project` goes.
QString AutoSavePath(const TDialogueProject& project, const QString& executablePath);

// The script editor's text for the project's NPC script.
QString ScriptEditorText(const QString& npcScript);

QString AboutText();
QString UnsavedChangesQuestion();

}
