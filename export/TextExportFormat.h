#pragma once
// A format written as one text file: the subclass builds the text, this
// writes it in the options' encoding without ever leaving a half-written
// file, and logs the outcome.

#include "interchange/DialogueFormat.h"

class TTextExportFormat : public TDialogueFormat {
public:
    bool CanWrite() const override { return true; }
    TFormatResult Write(TDialogueProject* project, TFormatContext& context) const override;

    // Writes `text` to context.Options.OutputPath; logs `successMessage` or
    // the error `failureMessage` followed by the path.
    static void WriteText(TFormatResult& result, TFormatContext& context, const QString& text,
                          const QString& successMessage, const QString& failureMessage);
    // Logs "No project to export" as an error when there is none.
    static bool RequireProject(const TDialogueProject* project, TFormatResult& result, TFormatContext& context);

protected:
    // The whole file's text, lines ended with CR LF; problems worth telling
    // go into `warnings`.
    virtual QString BuildText(const TDialogueProject& project, QStringList& warnings) const = 0;
    // The log's "Exported JSON: " and "Failed to write JSON to: ".
    virtual QString SuccessMessage() const = 0;
    virtual QString FailureMessage() const = 0;
};
