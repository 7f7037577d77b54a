// Feeds arbitrary bytes to the project-file reader as a file. It may
// refuse them, with false or an error, but never crash, hang or take
// memory far beyond the input; what it reads must save, load and save
// again to the same text.

#include "fuzz/FuzzSupport.h"
#include "model/CommaText.h"
#include "model/DialogueTypes.h"
#include "model/JsonSinks.h"
#include "model/ProjectFileWriter.h"

#include <cstdint>

namespace {

const QString& Scratch()
{
    static const QString path = ScratchPath("project_fuzzer.tlw");
    return path;
}

// The saved file's text, with the time of writing in a fixed form.
QByteArray SavedText(const TDialogueProject& project)
{
    QByteArray text("\xEF\xBB\xBF");
    {
        TJsonTextSink sink(text);
        WriteProject(sink, project);
    }
    text += "\r\n";
    const QByteArray key("\"modifiedDate\": \"");
    const qsizetype at = text.indexOf(key);
    Require(at >= 0, "saved text has its modification date");
    text.replace(at + key.size(), 19, "2000-01-01 00:00:00");
    return text;
}

bool Load(const QByteArray& bytes, TDialogueProject& into)
{
    WriteScratch(Scratch(), bytes);
    try {
        return into.LoadFromFile(Scratch());
    } catch (const EDialogueError& e) {
        Require(!e.Message().isEmpty(), "errors say what is wrong");
        return false;
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TDialogueProject first;
    first.SetName(QStringLiteral("untouched"));
    if (!Load(bytes, first)) {
        Require(first.Name() == QLatin1String("untouched") && first.NodeCount() == 0, "a refused file changes nothing");
        return 0;
    }

    // "locales" is written as a plain join, so locales holding separators
    // come back split; the text is stable from the second save on.
    const bool localesSurvive = CommaText::Split(first.Locales().join(QLatin1Char(','))) == first.Locales();
    QByteArray saved = SavedText(first);
    TDialogueProject second;
    Require(Load(saved, second), "saved text loads");
    if (!localesSurvive) {
        saved = SavedText(second);
        Require(Load(saved, second), "saved text loads");
    }
    Require(SavedText(second) == saved, "save, load and save give the same text");
    return 0;
}
