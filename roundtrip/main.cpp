// Reads "test.fmf" from the working directory, writes what it read back as
// "test_exported.fmf" through the FMF writer, and reports each step. Always
// ends with status 0.

#include "interchange/FMFExporter.h"
#include "interchange/FMFImporter.h"
#include "model/AtomicFileWriter.h"
#include "model/TextEncoding.h"

#include <QFile>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

void Print(const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

void PrintErrors(const QStringList& errors)
{
    for (const QString& error : errors)
        Print(error);
}

void WriteAnsiFile(const QString& path, const QString& text)
{
    const QByteArray bytes = TextEncoding::ToAnsi(text);
    QString error;
    if (!TAtomicFileWriter::WriteFile(path, bytes, &error))
        throw EDialogueError(error);
}

void RoundTrip()
{
    TFMFImporter importer;
    std::unique_ptr<TDialogueProject> project;
    const TFMFImportResult imported = importer.ImportFromFile(QStringLiteral("test.fmf"), project);
    if (!imported.Success) {
        Print(QStringLiteral("Import failed:"));
        PrintErrors(imported.Errors);
        return;
    }
    Print(QStringLiteral("Import successful: %1 nodes").arg(imported.NodeCount));

    TFMFExporter exporter;
    QString text;
    const TFMFExportResult exported = exporter.ExportToText(project.get(), text);
    if (!exported.Success) {
        Print(QStringLiteral("Export failed:"));
        PrintErrors(exported.Errors);
        return;
    }
    Print(QStringLiteral("Export successful"));
    Print(QStringLiteral("Exported text length: %1").arg(text.size()));
    WriteAnsiFile(QStringLiteral("test_exported.fmf"), text);
    Print(QStringLiteral("Saved exported file to test_exported.fmf"));
}

}

int main()
{
    try {
        RoundTrip();
    } catch (const EDialogueError& e) {
        Print(QStringLiteral("Exception: ") + e.Message());
    } catch (const std::exception& e) {
        Print(QStringLiteral("Exception: ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Print(QStringLiteral("Exception: unknown error"));
    }
    std::fflush(stdout);
    return 0;
}
