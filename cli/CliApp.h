#pragma once
// tallowin-cli's commands. Results go to `out`, everything else (errors,
// warnings, progress) to `err`, so the output can be piped.
//
// Exit status: 0 done, 1 the command ran and failed (an export or import
// that failed, a project with validation errors), 2 the command could not
// run (wrong arguments, a missing or unreadable input).

#include <QStringList>
#include <QTextStream>

#include <memory>

class TDialogueProject;
struct TFormatResult;

class TCliApp {
public:
    TCliApp(QTextStream& out, QTextStream& err) : FOut(out), FErr(err) {}

    // `args` without the program name.
    int Run(const QStringList& args);

    enum { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

private:
    int Export(const QStringList& args);
    int Validate(const QStringList& args);
    int Import(const QStringList& args);

    void Help();
    void ExportHelp();
    void ValidateHelp();
    void ImportHelp();
    // Says what is wrong and where help is; returns ExitUsage.
    int Usage(const QString& problem, const QString& command);
    // Loads a project file; on failure says why and returns null.
    std::unique_ptr<TDialogueProject> LoadProject(const QString& path);
    void Error(const QString& text);
    void Warning(const QString& text);
    // Each listed warning of an export or import, and the count of those
    // only counted.
    void Warnings(const TFormatResult& result, const QString& operation);

    QTextStream& FOut;
    QTextStream& FErr;
};
