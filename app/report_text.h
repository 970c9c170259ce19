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
std::wstring DiagnosisLine(const CheckState& state, Diagnosis diagnosis, Language language);

// The tooltip: the rule lines in Rule's order, the diagnoses that apply,
// and how to copy the report.
std::vector<std::wstring> TipLines(const CheckState& state, Language language);

// The report, one line per CR LF: the nine rows as the window shows them
// with this moving average (adapter, CPU, operating system, memory, FPS,
// CPU score, FPSMA, status, GPU), an empty line, the rule lines, the
// diagnoses and the program's name and version.
std::wstring ReportText(const CheckState& state, float movingAverage, Language language,
                        const wchar_t* version);
