#pragma once
// The outside dialogue tool's FMF text, both ways. It logs nothing of its
// own: the callers report node and warning counts in their words.

#include "interchange/DialogueFormat.h"

class TFMFFormat : public TDialogueFormat {
public:
    QString Key() const override { return QStringLiteral("fmf"); }
    QString Name() const override { return QStringLiteral("FMF Dialogue"); }
    QString FileFilter() const override { return QStringLiteral("FMF File|*.fmf|All Files|*.*"); }
    bool CanRead() const override { return true; }
    bool CanWrite() const override { return true; }
    TFormatResult Read(const QString& path, std::unique_ptr<TDialogueProject>& project) const override;
    TFormatResult Write(TDialogueProject* project, TFormatContext& context) const override;
};
