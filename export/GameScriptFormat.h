#pragma once
// The game-ready pair: NAME.ssl, a script that compiles unchanged, and
// NAME.msg, the message file it reads, written together into one folder.
// Lines without a message number get one first, so the project changes.

#include "interchange/DialogueFormat.h"

class TGameScriptFormat : public TDialogueFormat {
public:
    QString Key() const override { return QStringLiteral("game"); }
    QString Name() const override { return QStringLiteral("Game Script and Messages"); }
    bool CanWrite() const override { return true; }
    std::optional<TExportFormat> ExportFormat() const override { return efGameScript; }
    TFormatResult Write(TDialogueProject* project, TFormatContext& context) const override;
};
