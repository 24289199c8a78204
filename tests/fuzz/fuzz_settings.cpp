// Reads arbitrary bytes as the "brewpad.ini" settings file, as one found in
// a folder a user was sent. The reader must take any bytes without a crash
// or sanitizer report and keep every value within its range.

#include "fuzzcheck.h"

#include "model/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace bp;

namespace {

// The settings file is read from the current directory: a folder of this
// process's own is the current one while an input is read.
const QTemporaryDir& workDir()
{
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bp-fuzz-settings-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::CurrentDirScope inWorkDir(workDir().path());
    {
        QFile f(kSettingsFileName);
        const QByteArray bytes = fuzz::bytesOf(data, size);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            std::abort(); // the harness itself failed, not the reader
    }

    TSettings settings;
    QString ignored;
    FUZZ_CHECK(ReadSettingsFile(settings, &ignored));
    FUZZ_CHECK(ignored.isEmpty());               // the file is this user's own
    FUZZ_CHECK(settings.FileLines < (1u << 10)); // ten lines at most
    // A value the file did not give keeps its default.
    const TSettings defaults;
    if (!(settings.FileLines & (1u << 5)))
        FUZZ_CHECK(settings.TabSet == defaults.TabSet);
    if (!(settings.FileLines & (1u << 6)))
        FUZZ_CHECK(settings.EditorColor == defaults.EditorColor);
    // Colours read are colours that can be written back as they were.
    FUZZ_CHECK(StringToColor(ColorToString(settings.Font.Color)) == settings.Font.Color);
    FUZZ_CHECK(StringToColor(ColorToString(settings.EditorColor)) == settings.EditorColor);
    return 0;
}
