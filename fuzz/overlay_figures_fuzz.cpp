// The overlay's figures from any float or double and the operating-system
// row from any text: each stays in its buffer, and a figure that fits reads
// exactly as printf writes it.
#include "fuzz/fuzz_check.h"
#include "scene/overlay.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>
namespace {
template <std::size_t Capacity>
void CheckFigure(const wchar_t* prefix, const char* format, double value, int decimals) {
    Guarded<Capacity> out;
    std::memset(&out, 0x5A, sizeof out);
    FormatFigure(out.text, Capacity, prefix, value, decimals);
    out.CheckGuard();
    std::size_t length = std::wcslen(out.text), prefixLength = std::wcslen(prefix);
    FUZZ_CHECK(length < Capacity && std::wmemcmp(out.text, prefix, prefixLength) == 0);
    char expected[512];
    int written = std::snprintf(expected, sizeof expected, format, value);
    std::wstring figure(out.text + prefixLength);
    if (written > 0 && prefixLength + static_cast<std::size_t>(written) < Capacity)
        FUZZ_CHECK(figure == std::wstring(expected, expected + written));
    else
        FUZZ_CHECK(figure == (std::signbit(value) ? L"-inf" : L"inf"));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size >= sizeof(float)) {
        float single;
        std::memcpy(&single, data, sizeof single);
        CheckFigure<figureTextCapacity>(L"FPSMA:", "%0.3f", single, 3);
    }
    if (size >= sizeof(double)) {  // the right-aligned figures and the "GPU:" figure
        double value;
        std::memcpy(&value, data, sizeof value);
        CheckFigure<figureTextCapacity>(L"FPS:", "%0.3f", value, 3);
        CheckFigure<lineTextCapacity>(L"GPU: ", "%f", value, 6);
    }
    std::wstring osLine;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        if (wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8))) osLine.push_back(unit);
    Guarded<lineTextCapacity> line;
    std::memset(&line, 0x5A, sizeof line);
    FormatOsRow(line.text, osLine);
    line.CheckGuard();
    std::size_t length = std::wcslen(line.text);
    FUZZ_CHECK(length < lineTextCapacity && std::wmemcmp(line.text, L"操作系统: ", 6) == 0);
    FUZZ_CHECK(osLine.compare(0, length - 6, line.text + 6) == 0);
    return 0;
}
