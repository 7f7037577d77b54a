#include "model/AtomicFileWriter.h"

#include <cerrno>

namespace {

// Hands every write to the writer, so that a streaming writer's failure is
// the writer's own, with its reason.
class TWriterDevice : public QIODevice {
public:
    explicit TWriterDevice(TAtomicFileWriter& writer) : FWriter(writer) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (FWriter.Write(data, size))
            return size;
        setErrorString(FWriter.Error());
        return -1;
    }

private:
    TAtomicFileWriter& FWriter;
};

}

TAtomicFileWriter::TAtomicFileWriter(const QString& path) : FPath(path), FFile(path) {}

TAtomicFileWriter::~TAtomicFileWriter()
{
    Cancel();
}

bool TAtomicFileWriter::Fail(const char* what, int savedErrno)
{
    // Qt's own text when it has one; the system's reason for the step that
    // failed otherwise, so the message never ends in "Unknown error".
    // A refused permission change is no reason for a failed write.
    const QFileDevice::FileError error = FFile.error();
    QString reason = error != QFileDevice::NoError && error != QFileDevice::PermissionsError ? FFile.errorString() : QString();
    if (reason.isEmpty() || reason == QLatin1String("Unknown error"))
        reason = savedErrno != 0 ? qt_error_string(savedErrno) : QStringLiteral("The file system gave no reason");
    if (FError.isEmpty()) {
        FReason = reason;
        FError = QStringLiteral("%1 file \"%2\". %3").arg(QLatin1String(what), FPath, reason);
    }
    Cancel();
    return false;
}

bool TAtomicFileWriter::Open()
{
    // Unbuffered: each write meets the file system at once, and its error
    // is the one reported instead of a later, reasonless flush failure.
    errno = 0;
    if (!FFile.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Fail("Cannot create", errno);
    return true;
}

QIODevice* TAtomicFileWriter::Device()
{
    if (!FDevice)
        FDevice = std::make_unique<TWriterDevice>(*this);
    return FDevice.get();
}

bool TAtomicFileWriter::CheckOpen()
{
    if (!FError.isEmpty())
        return false;
    if (!FFile.isOpen())
        return Fail("Cannot write", EBADF);
    return true;
}

bool TAtomicFileWriter::Write(const char* data, qint64 size)
{
    if (!CheckOpen())
        return false;
    // A write the disk cuts short returns what it wrote without an error;
    // the next one, for the rest, fails with the system's reason.
    for (qint64 done = 0; done < size;) {
        errno = 0;
        const qint64 written = FFile.write(data + done, size - done);
        if (written <= 0)
            return Fail("Cannot write", errno);
        done += written;
    }
    return true;
}

bool TAtomicFileWriter::Prepare()
{
    if (!CheckOpen())
        return false;
    errno = 0;
    if (!FFile.flush())
        return Fail("Cannot write", errno);
    return true;
}

bool TAtomicFileWriter::Commit()
{
    if (!Prepare())
        return false;
    errno = 0;
    if (!FFile.commit())
        return Fail("Cannot write", errno);
    return true;
}

void TAtomicFileWriter::Cancel()
{
    // A commit after cancelWriting removes the temporary file at once
    // instead of when the object goes away.
    if (FFile.isOpen()) {
        FFile.cancelWriting();
        FFile.commit();
    }
}

bool TAtomicFileWriter::WriteFile(const QString& path, const QByteArray& bytes, QString* error)
{
    TAtomicFileWriter file(path);
    if (file.Open() && file.Write(bytes) && file.Commit())
        return true;
    if (error)
        *error = file.Error();
    return false;
}

// ---------------------------------------------------------------------------

TAtomicFileSet::TAtomicFileSet() = default;

TAtomicFileSet::~TAtomicFileSet() = default;

bool TAtomicFileSet::Add(const QString& path, const QByteArray& bytes, QString* error)
{
    auto file = std::make_unique<TAtomicFileWriter>(path);
    if (!file->Open() || !file->Write(bytes) || !file->Prepare()) {
        if (error)
            *error = file->Error();
        return false;
    }
    FFiles.push_back(std::move(file));
    return true;
}

bool TAtomicFileSet::Commit(QString* error, QStringList* notWritten)
{
    // Everything is flushed already, so each rename is quick and the window
    // in which old and new files stand side by side stays as short as it
    // can be.
    bool ok = true;
    for (const auto& file : FFiles) {
        if (ok && !file->Commit()) {
            ok = false;
            if (error)
                *error = file->Error();
        }
        if (!ok) {
            file->Cancel();
            if (notWritten)
                notWritten->append(file->Path());
        }
    }
    FFiles.clear();
    return ok;
}

QStringList TAtomicFileSet::Paths() const
{
    QStringList paths;
    for (const auto& file : FFiles)
        paths.append(file->Path());
    return paths;
}

void TAtomicFileSet::Cancel()
{
    FFiles.clear();
}
