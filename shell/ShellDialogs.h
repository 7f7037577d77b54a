#pragma once
// Everything the main window asks the user: file and folder dialogs and
// message boxes. The window talks to this interface only, so tests answer
// the questions instead of a person.

#include "project/ProjectManager.h"

class QWidget;

enum TDialogAnswer { daYes, daNo, daCancel };

class IShellDialogs : public IProjectDialogs {
public:
    // Existing folders only; false when cancelled.
    virtual bool AskFolder(const QString& title, QString& folder) = 0;
    // Yes/No/Cancel when `withCancel`, else Yes/No. Closing the box is
    // Cancel (No for a Yes/No box).
    virtual TDialogAnswer Ask(const QString& text, bool withCancel) = 0;
    virtual void Inform(const QString& text) = 0;
    virtual void ShowError(const QString& text) = 0;
};

// The desktop toolkit's standard dialogs and message boxes.
std::unique_ptr<IShellDialogs> CreateQtShellDialogs(QWidget* parent);
