#pragma once
// Replaces a file as a whole or not at all. The content goes to a temporary
// file beside the target; every step (create, write, flush, rename) is
// checked, and only a complete file is renamed over the target. A failure at
// any step removes the temporary file, leaves the target as it was and says
// why in the platform's words ("No space left on device").
//
// The flush before the rename is what matters on a full disk: a content that
// fits in the file's write buffer only meets the disk there, and a rename
// without it can put a cut-off file in place of the good one.

#include <QByteArray>
#include <QFileDevice>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TAtomicFileWriter {
public:
    explicit TAtomicFileWriter(const QString& path);
    // A file not committed is discarded with its temporary file.
    ~TAtomicFileWriter();
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    // Creates the temporary file. The folder must exist.
    bool Open();
    // A device whose writes go through Write, for writers that stream their
    // content; a failed write through it is reported by Prepare and Commit.
    QIODevice* Device();
    bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }
    bool Write(const char* data, qint64 size);
    // Sets the permissions of the file to be; they travel with the rename.
    bool SetPermissions(QFileDevice::Permissions permissions) { return FFile.setPermissions(permissions); }
    // Pushes everything written out to the temporary file, so that only the
    // rename is left to do.
    bool Prepare();
    // Prepare, then the rename over the target.
    bool Commit();
    // Drops the temporary file; the target stays as it was.
    void Cancel();

    const QString& Path() const { return FPath; }
    // Empty until a step fails; then `Cannot create file "<path>". <reason>`
    // or `Cannot write file "<path>". <reason>`.
    const QString& Error() const { return FError; }
    // The platform's reason alone, e.g. "No space left on device".
    const QString& Reason() const { return FReason; }

    // Open, Write and Commit in one call; on failure `error` (when given)
    // receives Error().
    static bool WriteFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

private:
    bool Fail(const char* what, int savedErrno);
    bool CheckOpen();

    QString FPath;
    QSaveFile FFile;
    std::unique_ptr<QIODevice> FDevice;
    QString FError;
    QString FReason;
};

// Several files replaced together, so they never come from different
// versions: each is first written complete to its temporary file, and only
// when all of them are ready are they renamed, one right after the other.
// A failure or a kill before the renames leaves every target as it was.
class TAtomicFileSet {
public:
    TAtomicFileSet();
    // Files added but not committed are discarded.
    ~TAtomicFileSet();
    TAtomicFileSet(const TAtomicFileSet&) = delete;
    TAtomicFileSet& operator=(const TAtomicFileSet&) = delete;

    // Writes `bytes` to a temporary file beside `path`. On failure nothing
    // of this file stays behind and `error` (when given) says why; the
    // files added before stay ready.
    bool Add(const QString& path, const QByteArray& bytes, QString* error = nullptr);
    // Renames every ready file over its target, in the order added. On
    // failure `error` (when given) says why; the files not yet renamed are
    // discarded, and `notWritten` (when given) receives their paths.
    bool Commit(QString* error = nullptr, QStringList* notWritten = nullptr);
    // Discards every file not yet renamed.
    void Cancel();
    bool IsEmpty() const { return FFiles.empty(); }
    // The targets of the files ready, in the order added.
    QStringList Paths() const;

private:
    std::vector<std::unique_ptr<TAtomicFileWriter>> FFiles;
};
