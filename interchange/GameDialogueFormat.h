#pragma once
// An NPC's game script with its message file: read as a working dialogue,
// written as the game-ready pair (the writing half is the export's).

#include "export/GameScriptFormat.h"

class TGameDialogueFormat : public TGameScriptFormat {
public:
    QString FileFilter() const override { return QStringLiteral("SSL Script|*.ssl|All Files|*.*"); }
    bool CanRead() const override { return true; }
    bool TakesCompanion() const override { return true; }
    TFormatResult Read(const QString& path, std::unique_ptr<TDialogueProject>& project) const override;
    TReadOutcome ReadWith(const QString& path, const TReadOptions& options,
                          std::unique_ptr<TDialogueProject>& project) const override;
};
