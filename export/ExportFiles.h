#pragma once
// File-level helpers every exporter shares: folder creation, replacing a
// file without ever leaving a half-written one in its place, and the path
// rules of the export commands.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ExportFiles {

// Everything up to and including the last path delimiter; empty when the
// path has none.
QString DirectoryPart(const QString& path);

// The last path component (what follows the last delimiter).
QString LastComponent(const QString& path);

// The last component without its extension (a leading dot is no extension):
// what an imported file's project is named after.
QString BaseNameWithoutExtension(const QString& path);

// True when the path ends in a delimiter or names an existing folder.
bool IsFolderPath(const QString& path);

// When the last component contains a dot, everything from its last dot on
// is replaced by `extension` (which includes its dot); otherwise the
// extension is appended.
QString ChangeFileExt(const QString& path, const QString& extension);

// `folder` with a trailing delimiter added when missing.
QString WithTrailingDelimiter(const QString& folder);

// Creates `folder` with all missing parents; an empty folder (the current
// one) needs nothing. On failure `error` (when given) says why.
bool EnsureFolder(const QString& folder, QString* error = nullptr);

// Checks that `path` names a file and creates its folder part; on failure
// `error` (when given) says why.
bool PrepareTarget(const QString& path, QString* error = nullptr);

// PrepareTarget, then the file replaced through TAtomicFileWriter. A failure
// at any step (folder, temporary file, a short write, the rename) leaves
// whatever was at `path` before untouched and returns false with the reason
// in `error`.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Every line followed by CR LF; an empty list gives an empty text.
QString JoinLines(const QStringList& lines);

}
