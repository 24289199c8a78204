// Colour text from settings files and the settings store: any text either
// converts or is refused, and every colour written as text reads back as the
// same colour.

#include "fuzzcheck.h"

#include "model/colortext.h"

#include <cstring>

using namespace bp;

namespace {

// ColorToString and StringToColor give back the colour they started from.
void checkRoundTrip(TColor color)
{
    const QString text = ColorToString(color);
    FUZZ_CHECK(!text.isEmpty());
    const std::optional<TColor> back = StringToColor(text);
    FUZZ_CHECK(back && *back == color);
    // Upper-case or lower-case, with stray blanks as a hand edit leaves them.
    FUZZ_CHECK(StringToColor(QLatin1Char(' ') + text.toLower() + QLatin1Char('\t')) == back);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    if (const std::optional<qint32> n = StringToInteger(text)) {
        // An integer is also a colour, the same value.
        FUZZ_CHECK(StringToColor(text) == n);
        FUZZ_CHECK(StringToInteger(QString::number(*n)) == n);
    }
    if (const std::optional<TColor> color = StringToColor(text))
        checkRoundTrip(*color);

    // The first four bytes as any colour value at all.
    if (size >= 4) {
        qint32 value;
        std::memcpy(&value, data, sizeof value);
        checkRoundTrip(value);
    }
    return 0;
}
