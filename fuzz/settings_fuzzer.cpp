// Feeds arbitrary bytes to the settings reader as its file: it must keep
// its defaults or take values, never crash, and the text it would write
// must read back to the same values.

#include "fuzz/FuzzSupport.h"
#include "project/AppSettings.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = ScratchPath("settings_fuzzer.json");
    WriteScratch(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    TAppSettings settings(path);
    const QByteArray text = settings.ToFileText();

    WriteScratch(path, text);
    TAppSettings again(path);
    Require(again.ToFileText() == text, "written settings read back the same");
    return 0;
}
