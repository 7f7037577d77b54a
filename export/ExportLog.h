#pragma once
// The export log: "hh:nn:ss", two spaces, the message; errors prefixed
// "ERROR: " and warnings "WARNING: ", each also recorded in the result.

#include "export/ExportTypes.h"

class TExportLog {
public:
    void Message(const QString& text);
    void Error(TFormatResult& result, const QString& text);
    void Warnings(TFormatResult& result, const QStringList& warnings);

    const QStringList& Lines() const { return FLines; }

private:
    QStringList FLines;
};
