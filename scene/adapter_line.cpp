#include "scene/adapter_line.h"

#include "scene/bounded_text.h"

#include <algorithm>

namespace {

constexpr wchar_t adapterLinePrefix[] = L"当前显卡型号：";

}  // namespace

void BuildAdapterLine(wchar_t (&line)[adapterLineCapacity], const wchar_t* description) {
    std::fill(std::begin(line), std::end(line), L'\0');
    std::size_t used = AppendBounded(line, adapterLineLimit, 0, adapterLinePrefix);
    AppendBounded(line, adapterLineLimit, used, description);
}
