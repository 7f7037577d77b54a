#pragma once
// Main window dialogs answered from a script instead of by a person, for
// tests and benchmarks that drive the real window.

#include "shell/ShellDialogs.h"

#include <QStringList>

#include <deque>

// Every dialog takes the next scripted answer; an empty file name or a
// missing answer counts as cancelling.
class TScriptedShellDialogs : public IShellDialogs {
public:
    std::deque<QString> OpenFiles;
    std::deque<QString> SaveFiles;
    std::deque<QString> Folders;
    std::deque<TDialogAnswer> Answers;
    QStringList Titles;          // every file and folder dialog's title
    QStringList ProposedNames;   // of the save dialogs
    QStringList Questions;
    QStringList Informations;
    QStringList Errors;

    bool AskOpenFileName(const QString& title, const QString&, QString& fileName) override
    {
        Titles << title;
        return Take(OpenFiles, fileName);
    }
    bool AskSaveFileName(const QString& title, const QString&, const QString&, const QString& proposedName,
                         QString& fileName, int& chosenType) override
    {
        Titles << title;
        ProposedNames << proposedName;
        chosenType = 0;
        return Take(SaveFiles, fileName);
    }
    bool AskFolder(const QString& title, QString& folder) override
    {
        Titles << title;
        return Take(Folders, folder);
    }
    TDialogAnswer Ask(const QString& text, bool withCancel) override
    {
        Questions << text;
        if (Answers.empty())
            return withCancel ? daCancel : daNo;
        const TDialogAnswer a = Answers.front();
        Answers.pop_front();
        return a;
    }
    void Inform(const QString& text) override { Informations << text; }
    void ShowError(const QString& text) override { Errors << text; }

private:
    static bool Take(std::deque<QString>& queue, QString& out)
    {
        if (queue.empty())
            return false;
        out = queue.front();
        queue.pop_front();
        return !out.isEmpty();
    }
};
