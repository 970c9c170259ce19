#include "probe/wmi.h"

#include "probe/value_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

WmiSession wmiSession;

const WmiProperty WmiPropertyTable[wmiPropertyCount] = {
    {"Win32_Processor", "Name"},
    {"Win32_Processor", "NumberOfCores"},
    {"Win32_Processor", "AddressWidth"},
    {"Win32_Processor", "CurrentClockSpeed"},
    {"Win32_Processor", "ExtClock"},
    {"Win32_Processor", "L2CacheSize"},
    {"Win32_Processor", "MaxClockSpeed"},
    {"Win32_VideoController", "Name"},
    {"Win32_VideoController", "AdapterRAM"},
    {"Win32_OperatingSystem", "Caption"},
    {"Win32_OperatingSystem", "Version"},
    {"Win32_OperatingSystem", "CSName"},
    {"Win32_OperatingSystem", "SerialNumber"},
    {"Win32_OperatingSystem", "TotalVisibleMemorySize"},
    {"Win32_OperatingSystem", "FreePhysicalMemory"},
    {"Win32_PhysicalMemory", "Capacity"},
    {"Win32_PhysicalMemory", "Speed"},
};

static_assert(static_cast<std::size_t>(WmiPropertyId::MemorySpeed) + 1 == wmiPropertyCount,
              "an id for each property");

namespace {
const char queryFormat[] = "SELECT * FROM %s";
}

bool BuildWmiQueryText(char (&query)[wmiQueryCapacity], const char* className) {
    std::memset(query, 0, sizeof query);
    if (className == nullptr) return false;
    // snprintf cuts an overlong name instead of running past the buffer.
    std::snprintf(query, sizeof query, queryFormat, className);
    return true;
}

WmiValue WmiTextValue(const char16_t* units, std::size_t count) {
    return {WmiValue::Kind::Text, TextUpToFirstNul(units, std::min(count, wmiTextLimit)), 0};
}

bool SecurityInPlace(HResult result) { return result >= 0 || result == rpcTooLate; }
