#pragma once
// The engine package: the JSON project and the SSL script side by side.

#include "interchange/DialogueFormat.h"

class TPackageFormat : public TDialogueFormat {
public:
    QString Key() const override { return QStringLiteral("package"); }
    QString Name() const override { return QStringLiteral("Engine Package"); }
    bool CanWrite() const override { return true; }
    std::optional<TExportFormat> ExportFormat() const override { return efPackage; }
    TFormatResult Write(TDialogueProject* project, TFormatContext& context) const override;

    // The file name used inside the folder when the output path names a
    // folder: the NPC script name in lower case (else the NPC name, else
    // "dialogue"), made safe as a file name.
    static QString BaseName(const TDialogueProject* project);
};
