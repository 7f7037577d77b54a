#pragma once
// Every file format the program knows, in one list.

#include "interchange/DialogueFormat.h"

#include <QStringList>

#include <memory>
#include <vector>

class TFormatRegistry {
public:
    static const TFormatRegistry& Instance();

    const std::vector<std::unique_ptr<TDialogueFormat>>& Formats() const { return FFormats; }
    // By command-line name, case-insensitive; null when none has it.
    const TDialogueFormat* ByKey(const QString& key) const;
    // The format under a command-line name when it reads, or writes; null
    // when it does not (there is no JSON reader, say).
    const TDialogueFormat* Reader(const QString& key) const;
    const TDialogueFormat* Writer(const QString& key) const;
    // The format behind one of the export manager's values; null for none.
    const TDialogueFormat* ForExport(TExportFormat format) const;
    // Command-line names of the formats that read or write, in list order.
    QStringList ReadKeys() const;
    QStringList WriteKeys() const;

private:
    TFormatRegistry();
    std::vector<std::unique_ptr<TDialogueFormat>> FFormats;
};
