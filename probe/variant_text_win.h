#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

// Writes a property value into text when its kind converts: a string up to
// its first NUL (a null string as empty text), an integer kind as the signed
// 32-bit decimal text of its value (64-bit kinds by their low 32 bits).
// Returns false, text untouched, for every other kind. May throw
// std::bad_alloc, text then untouched.
bool ConvertVariantToText(std::wstring& text, const VARIANT& value);

struct WmiValue;

// A property value as the probe keeps it (probe/wmi.h): a string up to its
// first NUL and at most wmiTextLimit characters, or an integer kind widened
// to 64 bits, unsigned where the property's CIM type (Get's) is an unsigned
// one that WMI hands over in a signed kind. False, value none, for any other
// kind. May throw std::bad_alloc.
bool ConvertVariantToValue(WmiValue& value, const VARIANT& variant, long cimType);
