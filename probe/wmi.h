#pragma once

#include <cstddef>
#include <string>

struct IWbemLocator;
struct IWbemServices;

// The connection to the local management service, "ROOT\CIMV2". One per
// process (wmiSession): connected by the probe at start-up, closed at exit.
struct WmiSession {
    IWbemLocator* locator = nullptr;
    IWbemServices* services = nullptr;
};

extern WmiSession wmiSession;

// The classes and properties the checker knows, a row each, named; the probe
// reads five of them.
struct WmiProperty {
    const char* className;
    const char* propertyName;
};

enum class WmiRow : std::size_t {
    ProcessorName,
    ProcessorCores,
    ProcessorAddressWidth,
    ProcessorCurrentClock,
    ProcessorExternalClock,
    ProcessorL2Cache,
    ProcessorMaxClock,
    VideoControllerName,
    VideoControllerMemory,
    OsCaption,
    OsVersion,
    OsComputerName,
    OsSerialNumber,
    OsTotalVisibleMemory,
    OsFreePhysicalMemory,
    MemoryCapacity,
    MemorySpeed,
};

constexpr std::size_t wmiPropertyCount = 17;
extern const WmiProperty WmiPropertyTable[wmiPropertyCount];

inline const WmiProperty& WmiPropertyOf(WmiRow row) {
    return WmiPropertyTable[static_cast<std::size_t>(row)];
}

// Initialises COM for this thread (multithreaded apartment) and connects the
// session. On the first failed step writes that step's message and a line
// end to standard output and returns false; what was obtained stays in the
// session until CloseWmi.
bool ConnectWmi(WmiSession& session);

// Reads the property of the first instance of the class into text. False
// when the query was not run or was refused (text untouched); true
// otherwise, text written only when a value of a convertible kind came.
bool QueryWmiProperty(std::wstring& text, WmiSession& session, const char* className,
                      const char* propertyName);

// Releases services, then locator, clearing both, then leaves COM once.
void CloseWmi(WmiSession& session);

// "SELECT * FROM <className>" in a zero-filled buffer of wmiQueryCapacity
// bytes; a class name too long for it is cut so the terminator always fits.
// False, and nothing written but zeros, for a null class name.
constexpr std::size_t wmiQueryCapacity = 255;
bool BuildWmiQueryText(char (&query)[wmiQueryCapacity], const char* className);
