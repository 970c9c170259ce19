#pragma once

#include "common/check_state.h"
#include "common/diagnoses.h"

#include <cstdint>
#include <string>
#include <vector>

// What the checker tells a player who asks why: a line for each rule (its
// figure against its bar and its outcome), a sentence for each diagnosis
// that applies, and the report Ctrl+C copies.

enum class Language : uint8_t { Chinese, English };

// Chinese for a Chinese user-interface language (GetUserDefaultUILanguage's,
// any region), English for every other.
Language LanguageFor(uint16_t uiLanguage);

std::wstring RuleLine(const CheckState& state, Rule rule, Language language);
// A rule's figure and bar as its line writes them: "2096 MHz", "6.1",
// "3.8 GB".
std::wstring RuleFigureText(Rule rule, double figure, Language language);
std::wstring RuleBarText(Rule rule);
std::wstring DiagnosisLine(const CheckState& state, Diagnosis diagnosis, Language language);

// The tooltip: the rule lines in Rule's order, the diagnoses that apply,
// and how to copy the report.
std::vector<std::wstring> TipLines(const CheckState& state, Language language);

// What support asks first: the adapter Direct3D measured on (its
// description, PCI ids, driver and the display mode), then each video
// controller WMI lists (name, PCI ids, driver version and date, status or
// error code), the one with the measured adapter's ids marked; "unknown"
// for what could not be read.
std::vector<std::wstring> GraphicsLines(const CheckState& state, Language language);

// The report, one line per CR LF: the nine rows as the window shows them
// with this moving average (adapter, CPU, operating system, memory, FPS,
// CPU score, FPSMA, status, GPU), an empty line, the rule lines, the
// diagnoses, an empty line, the graphics lines and the program's name and
// version.
std::wstring ReportText(const CheckState& state, float movingAverage, Language language,
                        const wchar_t* version);
