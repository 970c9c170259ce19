#pragma once

#include "probe/wmi.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// Linked in place of the Windows glue in the native probe tests: serves
// scripted reads per "Class.Property" and records every call in order.
struct ScriptedRead {
    bool result = true;
    std::optional<std::wstring> value;
};

struct RecordedCall {
    std::string name;          // "ConnectWmi", "IsOsVersionAbove61" or "Class.Property"
    const WmiSession* session; // null for IsOsVersionAbove61
    std::wstring textOnEntry;
};

struct ProbeDouble {
    bool connectResult = true;
    bool osVersionAbove61 = true;
    std::map<std::string, ScriptedRead> reads; // a read not scripted returns false
    std::vector<RecordedCall> calls;
};

extern ProbeDouble probeDouble;
