#include "probe/variant_text_win.h"

#include "probe/value_text.h"

#include <cstdint>

namespace {
static_assert(sizeof(OLECHAR) == sizeof(char16_t), "BSTR holds UTF-16 units");

// The 8- and 16-bit kinds are widened from the value itself, by their own
// signedness, so nothing beyond the value is read.
bool VariantInt32(const VARIANT& value, int32_t& number) {
    switch (value.vt) {
    case VT_I4: number = value.lVal; return true;
    case VT_INT: number = value.intVal; return true;
    case VT_UI4: number = static_cast<int32_t>(value.ulVal); return true;
    case VT_UINT: number = static_cast<int32_t>(value.uintVal); return true;
    case VT_I8: number = static_cast<int32_t>(static_cast<uint32_t>(value.llVal)); return true;
    case VT_UI8: number = static_cast<int32_t>(static_cast<uint32_t>(value.ullVal)); return true;
    case VT_I1: number = static_cast<signed char>(value.cVal); return true;
    case VT_I2: number = value.iVal; return true;
    case VT_UI1: number = value.bVal; return true;
    case VT_UI2: number = value.uiVal; return true;
    default: return false;
    }
}
}

bool ConvertVariantToText(std::wstring& text, const VARIANT& value) {
    if (value.vt == VT_BSTR) {
        // SysStringLen counts embedded NULs too, and is 0 for a null BSTR.
        text = TextUpToFirstNul(reinterpret_cast<const char16_t*>(value.bstrVal),
                                SysStringLen(value.bstrVal));
        return true;
    }
    int32_t number = 0;
    if (!VariantInt32(value, number)) return false;
    text = DecimalText(number);
    return true;
}
