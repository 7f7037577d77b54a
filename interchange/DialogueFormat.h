#pragma once
// One file format the program reads or writes. Every import and export is
// one class behind this interface, listed once in TFormatRegistry; the export
// manager, the main window's commands and the command-line tool all find
// formats there, so a new format is one class and one registry line.

#include "export/ExportLog.h"
#include "export/ExportTypes.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class TAtomicFileSet;
class TDialogueProject;
class TModExporter;

// What one write needs besides the project.
struct TFormatContext {
    TExportOptions Options;                // OutputPath and Encoding steer the output
    TExportLog& Log;                       // the export manager's log, or a caller's own
    TModExporter* ModExporter = nullptr;   // the world-map data of the mod formats
    // When set, text files wait here, complete, to be put in place together
    // with the others of one export.
    TAtomicFileSet* HeldFiles = nullptr;
};

// What a read may take besides the file, and what it tells back.
struct TReadOptions {
    QString CompanionPath;   // a second file read with the first (a script's message file); empty = the format finds it
};
struct TReadOutcome {
    TFormatResult Result;
    QStringList Report;      // lines for the user about what was read (counts, what was not understood)
};

class TDialogueFormat {
public:
    virtual ~TDialogueFormat() = default;

    // The command-line name ("json", "fmf"); empty when the format is not
    // offered there.
    virtual QString Key() const = 0;
    // The display name ("Dialogue JSON").
    virtual QString Name() const = 0;
    // The file dialogs' filter, "Name|*.ext|All Files|*.*"; empty for folders.
    virtual QString FileFilter() const { return QString(); }
    virtual bool CanRead() const { return false; }
    virtual bool CanWrite() const { return false; }
    // The export manager's value for this format, when the manager offers it.
    virtual std::optional<TExportFormat> ExportFormat() const { return std::nullopt; }

    // A new project read from `path`; the caller owns it. A file that cannot
    // be opened raises EDialogueError, as the importers do.
    virtual TFormatResult Read(const QString& path, std::unique_ptr<TDialogueProject>& project) const;
    // Whether the format reads a companion file (TReadOptions::CompanionPath).
    virtual bool TakesCompanion() const { return false; }
    // The read with options and a report; by default Read without a report.
    virtual TReadOutcome ReadWith(const QString& path, const TReadOptions& options,
                                  std::unique_ptr<TDialogueProject>& project) const;
    // Writes the project to context.Options.OutputPath; never raises for I/O
    // problems. The project may be null (most formats then report an error).
    virtual TFormatResult Write(TDialogueProject* project, TFormatContext& context) const;
};

// The importers' own result records, in the common form.
template <class TImportResult>
TFormatResult ToFormatResult(const TImportResult& imported)
{
    TFormatResult result;
    result.Success = imported.Success;
    result.Errors = imported.Errors;
    result.WarningCount = imported.WarningCount;
    result.NodeCount = imported.NodeCount;
    return result;
}
