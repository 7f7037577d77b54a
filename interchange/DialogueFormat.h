#pragma once
// One file format the program reads or writes. Every import and export is
// one class behind this interface, listed once in TFormatRegistry; the export
// manager, the main window's commands and the command-line tool all find
// formats there, so a new format is one class and one registry line.

#include "export/ExportLog.h"
#include "export/ExportTypes.h"

#include <QString>

#include <memory>
#include <optional>

class TDialogueProject;
class TModExporter;

// What one write needs besides the project.
struct TFormatContext {
    TExportOptions Options;                // OutputPath and Encoding steer the output
    TExportLog& Log;                       // the export manager's log, or a caller's own
    TModExporter* ModExporter = nullptr;   // the world-map data of the mod formats
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
