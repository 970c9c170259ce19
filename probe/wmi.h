#pragma once

#include "platform/hresult.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct IWbemLocator;
struct IWbemServices;

// The connection to the local management service, "ROOT\CIMV2". One per
// process (wmiSession): connected by the probe at start-up, closed at exit.
struct WmiSession {
    IWbemLocator* locator = nullptr;
    IWbemServices* services = nullptr;
    // When the probe stops waiting for the service (the system's tick count
    // in milliseconds), set by ConnectWmi: the connection and every read
    // wait at most until then, so a service that never answers cannot keep
    // the window from the screen.
    uint64_t deadline = 0;
    // The connection was given up on: the service did not answer in time.
    bool connectionUnanswered = false;
};

extern WmiSession wmiSession;

// The classes and properties the checker knows, each named by an id: the
// probe reads five of them and the video controllers' query takes the class
// and two names of its own from rows 7 and 8. The rows nothing reads stay at
// their ids, so that an id names the same property wherever it is used and
// a read added later takes its row.
struct WmiProperty {
    const char* className;
    const char* propertyName;
};

enum class WmiPropertyId : std::size_t {
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

inline const WmiProperty& WmiPropertyOf(WmiPropertyId id) {
    return WmiPropertyTable[static_cast<std::size_t>(id)];
}

// Initialises COM for this thread (multithreaded apartment) and connects the
// session. On the first failed step writes that step's message and a line
// end to standard output and returns false; what was obtained stays in the
// session until CloseWmi. Security already set for the process counts as
// set. The connection is made on a thread of its own and waited for at most
// a bound; one that does not come in time fails as a refused one does, and
// is left to end on its own.
bool ConnectWmi(WmiSession& session);

// Reads the property of the first instance of the class into text. False
// when the query was not run or was refused (text untouched); true
// otherwise, text written only when a value of a convertible kind came. The
// first instance is waited for at most a bound: one that does not come in
// time counts as none. Where timedOut is given, it is set to whether the
// service failed to answer in time, this read or the connection.
bool QueryWmiProperty(std::wstring& text, WmiSession& session, const char* className,
                      const char* propertyName, bool* timedOut = nullptr);

// A property's value as the probe keeps it: a text (cut to wmiTextLimit
// characters), a whole number (an integer kind, widened by the property's
// own signedness, so WMI's unsigned 32-bit values stay positive), or none
// (null, missing, or a kind of another sort).
struct WmiValue {
    enum class Kind : uint8_t { None, Text, Number } kind = Kind::None;
    std::wstring text;
    int64_t number = 0;
};
constexpr std::size_t wmiTextLimit = 1024;

// A text value from a string's count UTF-16 units: up to its first NUL, at
// most wmiTextLimit of them.
WmiValue WmiTextValue(const char16_t* units, std::size_t count);

// Reads the named properties of each instance of the class, at most
// instanceLimit instances, into values: propertyCount of them an instance,
// instance after instance. Returns how many instances were read: none when
// the query was not run or was refused. Each instance is waited for within
// the probe's bound; timedOut, where given, says whether the service failed
// to answer in time.
std::size_t QueryWmiInstances(WmiSession& session, const char* className,
                              const char* const* propertyNames, std::size_t propertyCount,
                              WmiValue* values, std::size_t instanceLimit,
                              bool* timedOut = nullptr);

// QueryWmiInstances on a thread of its own, so that nothing waits for it:
// the query holds its own reference to the session's services and keeps to
// the session's deadline; the class and property names must last as long as
// the process. Null when it cannot be begun (no services, no thread).
struct WmiBackgroundQuery;
WmiBackgroundQuery* BeginWmiInstances(WmiSession& session, const char* className,
                                      const char* const* propertyNames, std::size_t propertyCount,
                                      std::size_t instanceLimit);

// Once the query has ended: true, values holding what it read (propertyCount
// values an instance, instance after instance) and the query let go (null).
// False, values untouched, while it runs or when there is none.
bool TakeWmiInstances(WmiBackgroundQuery*& query, std::vector<WmiValue>& values);

// Lets go of a query that may still run (at exit): it ends on its own.
void AbandonWmiInstances(WmiBackgroundQuery*& query);

// CoInitializeSecurity's result: security is in place when it succeeded, or
// when it came too late because something in the process had set it already.
constexpr HResult rpcTooLate = static_cast<HResult>(0x80010119u);
bool SecurityInPlace(HResult result);

// Releases services, then locator, clearing both, then leaves COM once.
void CloseWmi(WmiSession& session);

// "SELECT * FROM <className>" in a zero-filled buffer of wmiQueryCapacity
// bytes; a class name too long for it is cut so the terminator always fits.
// False, and nothing written but zeros, for a null class name.
constexpr std::size_t wmiQueryCapacity = 255;
bool BuildWmiQueryText(char (&query)[wmiQueryCapacity], const char* className);
