#pragma once
// An NPC's game script with its message file, read as a working dialogue.

#include "interchange/DialogueFormat.h"

class TGameDialogueFormat : public TDialogueFormat {
public:
    QString Key() const override { return QStringLiteral("game"); }
    QString Name() const override { return QStringLiteral("Game Script and Messages"); }
    QString FileFilter() const override { return QStringLiteral("SSL Script|*.ssl|All Files|*.*"); }
    bool CanRead() const override { return true; }
    bool TakesCompanion() const override { return true; }
    TFormatResult Read(const QString& path, std::unique_ptr<TDialogueProject>& project) const override;
    TReadOutcome ReadWith(const QString& path, const TReadOptions& options,
                          std::unique_ptr<TDialogueProject>& project) const override;
};
