#include "probe/variant_text_win.h"

#include "probe/value_text.h"
#include "probe/wmi.h"

#include <wbemcli.h>

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

// Every integer kind at its full width.
bool VariantInt64(const VARIANT& value, int64_t& number) {
    switch (value.vt) {
    case VT_I8: number = value.llVal; return true;
    case VT_UI8: number = static_cast<int64_t>(value.ullVal); return true;
    case VT_UI4: number = value.ulVal; return true;
    case VT_UINT: number = value.uintVal; return true;
    default: break;
    }
    int32_t narrow = 0;
    if (!VariantInt32(value, narrow)) return false;
    number = narrow;
    return true;
}

// WMI hands unsigned 32- and 16-bit properties over as VT_I4 and VT_I2.
int64_t AsCimType(int64_t number, long cimType) {
    if (cimType == CIM_UINT32) return static_cast<uint32_t>(number);
    if (cimType == CIM_UINT16) return static_cast<uint16_t>(number);
    return number;
}

// SysStringLen counts embedded NULs too, and is 0 for a null BSTR.
const char16_t* Units(BSTR text) { return reinterpret_cast<const char16_t*>(text); }
}

bool ConvertVariantToValue(WmiValue& value, const VARIANT& variant, long cimType) {
    value = WmiValue{};
    if (variant.vt == VT_BSTR) {
        value = WmiTextValue(Units(variant.bstrVal), SysStringLen(variant.bstrVal));
        return true;
    }
    int64_t number = 0;
    if (!VariantInt64(variant, number)) return false;
    value.number = AsCimType(number, cimType);
    value.kind = WmiValue::Kind::Number;
    return true;
}

bool ConvertVariantToText(std::wstring& text, const VARIANT& value) {
    if (value.vt == VT_BSTR) {
        text = TextUpToFirstNul(Units(value.bstrVal), SysStringLen(value.bstrVal));
        return true;
    }
    int32_t number = 0;
    if (!VariantInt32(value, number)) return false;
    text = DecimalText(number);
    return true;
}
