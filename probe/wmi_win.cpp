#include "probe/wmi.h"

#include "platform/release_win.h"
#include "probe/variant_text_win.h"

#include <windows.h>
#include <objbase.h>
#include <wbemcli.h>

#include <cstdio>
#include <new>
#include <vector>

namespace {
const char comInitialiseFailed[] = "CoInitializeEx() error.";
const char securityFailed[] = "CoInitializeSecurity() error.";
const char createLocatorFailed[] = "CoCreateInstance() error.";
const char connectServerFailed[] = "ConnectServer() error.";
const char proxyBlanketFailed[] = "CoSetProxyBlanket() error.";

static_assert(rpcTooLate == RPC_E_TOO_LATE, "COM's result for security set already");

const wchar_t wmiNamespace[] = L"ROOT\\CIMV2";
const char queryLanguage[] = "WQL";
constexpr LONG queryFlags = WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY;
static_assert(queryFlags == 48, "forward-only, return immediately");

// How long the probe waits for the service. A healthy service answers its
// first, cold query within a few seconds (Wine, cold, in under 1 s); a
// wedged one (a corrupt repository, a stuck provider, a restarting service)
// never does. Whatever the service does, the window comes within about 20 s.
constexpr DWORD connectMilliseconds = 10000;
constexpr DWORD nextMilliseconds = 10000;
constexpr uint64_t probeWaitMilliseconds = 20000;

// What is left of the probe's wait, at most bound.
DWORD WaitLeft(const WmiSession& session, DWORD bound) {
    uint64_t now = GetTickCount64();
    uint64_t left = session.deadline > now ? session.deadline - now : 0;
    return left < bound ? static_cast<DWORD>(left) : bound;
}

// ConnectServer, made on a thread of its own. The call's state is shared by
// the two threads and freed by the one that lets go last: a call the probe
// stopped waiting for releases what it gets when (if ever) it returns, and
// the process may end while it still waits.
struct ConnectCall {
    LONG holders = 2;
    IWbemLocator* locator = nullptr;  // the call's own reference
    IWbemServices* services = nullptr;
    HRESULT result = E_FAIL;
    HANDLE done = nullptr;
};

void LetGo(ConnectCall* call) {
    if (InterlockedDecrement(&call->holders) != 0) return;
    ReleaseObject(call->services);
    ReleaseObject(call->locator);
    if (call->done) CloseHandle(call->done);
    delete call;
}

DWORD WINAPI RunConnectCall(void* parameter) {
    auto* call = static_cast<ConnectCall*>(parameter);
    HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    BSTR resource = SysAllocString(wmiNamespace);
    call->result = E_OUTOFMEMORY;
    if (resource != nullptr) {
        call->result = call->locator->ConnectServer(resource, nullptr, nullptr, nullptr, 0, nullptr,
                                                    nullptr, &call->services);
    }
    SysFreeString(resource);
    SetEvent(call->done);
    LetGo(call);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

HRESULT ConnectToNamespace(WmiSession& session) {
    auto* call = new (std::nothrow) ConnectCall;
    if (call == nullptr) return E_OUTOFMEMORY;
    call->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    call->locator = session.locator;
    call->locator->AddRef();
    HANDLE thread = call->done ? CreateThread(nullptr, 0, RunConnectCall, call, 0, nullptr) : nullptr;
    if (thread == nullptr) {
        call->holders = 1;
        LetGo(call);
        return E_FAIL;
    }
    CloseHandle(thread);
    HRESULT result = RPC_E_TIMEOUT;
    if (WaitForSingleObject(call->done, WaitLeft(session, connectMilliseconds)) == WAIT_OBJECT_0) {
        result = call->result;
        session.services = call->services;
        call->services = nullptr;
    }
    LetGo(call);
    return result;
}

// The message of the first step that fails, or null when all succeed.
const char* RunConnectSteps(WmiSession& session) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return comInitialiseFailed;
    HRESULT security = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                            RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (!SecurityInPlace(security)) return securityFailed;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWbemLocator, reinterpret_cast<void**>(&session.locator))))
        return createLocatorFailed;
    const HRESULT connected = ConnectToNamespace(session);
    session.connectionUnanswered = connected == RPC_E_TIMEOUT;
    if (FAILED(connected)) return connectServerFailed;
    if (FAILED(CoSetProxyBlanket(session.services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                 RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                                 EOAC_NONE)))
        return proxyBlanketFailed;
    return nullptr;
}

// A BSTR of narrow text in the system code page; null when out of memory.
BSTR NarrowToBstr(const char* text) {
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 0) return nullptr;
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(units - 1));
    if (result != nullptr) MultiByteToWideChar(CP_ACP, 0, text, -1, result, units);
    return result;
}

HRESULT RunQuery(IWbemServices* services, const char* query, IEnumWbemClassObject** enumerator) {
    BSTR language = NarrowToBstr(queryLanguage);
    BSTR queryText = NarrowToBstr(query);
    HRESULT result = E_OUTOFMEMORY;
    if (language != nullptr && queryText != nullptr)
        result = services->ExecQuery(language, queryText, queryFlags, nullptr, enumerator);
    SysFreeString(queryText);
    SysFreeString(language);
    return result;
}

// Get of one property: its value and its CIM type; false when it could not
// be asked for want of memory.
bool GetProperty(IWbemClassObject* object, const char* propertyName, VARIANT& value,
                 CIMTYPE& type, HRESULT& result) {
    BSTR name = NarrowToBstr(propertyName);
    if (name == nullptr) return false;
    result = object->Get(name, 0, &value, &type, nullptr);
    SysFreeString(name);
    return true;
}

// False only when a string could not be made or a value not converted for
// want of memory.
template <typename Convert>
bool ReadProperty(IWbemClassObject* object, const char* propertyName, Convert convert) {
    VARIANT value;
    VariantInit(&value);
    CIMTYPE type = CIM_EMPTY;
    HRESULT result = E_FAIL;
    if (!GetProperty(object, propertyName, value, type, result)) return false;
    bool converted = true;
    if (SUCCEEDED(result)) {
        try {
            convert(value, type);
        } catch (const std::bad_alloc&) {
            converted = false;
        }
    }
    VariantClear(&value);
    return converted;
}

// The next instance, waited for within the probe's bound; null when none
// came, timedOut then set when the wait ran out.
IWbemClassObject* NextInstance(const WmiSession& session, IEnumWbemClassObject* enumerator,
                               bool& timedOut) {
    IWbemClassObject* object = nullptr;
    ULONG returned = 0;
    LONG wait = static_cast<LONG>(WaitLeft(session, nextMilliseconds));
    HRESULT result = enumerator->Next(wait, 1, &object, &returned);
    if (returned != 0 && object != nullptr) return object;
    ReleaseObject(object);
    timedOut = result == WBEM_S_TIMEDOUT;
    return nullptr;
}

bool ReadFirstInstance(std::wstring& text, const WmiSession& session,
                       IEnumWbemClassObject* enumerator, const char* propertyName,
                       bool& timedOut) {
    IWbemClassObject* object = NextInstance(session, enumerator, timedOut);
    if (object == nullptr) return true;
    bool read = ReadProperty(object, propertyName, [&text](const VARIANT& value, CIMTYPE) {
        ConvertVariantToText(text, value);
    });
    ReleaseObject(object);
    return read;
}

// "SELECT * FROM className"; fails without running it for a session
// without services or a null class name.
HRESULT RunClassQuery(const WmiSession& session, const char* className,
                      IEnumWbemClassObject** enumerator) {
    char query[wmiQueryCapacity];
    if (!BuildWmiQueryText(query, className) || session.services == nullptr) return E_FAIL;
    return RunQuery(session.services, query, enumerator);
}
}

bool ConnectWmi(WmiSession& session) {
    session.deadline = GetTickCount64() + probeWaitMilliseconds;
    const char* failure = RunConnectSteps(session);
    if (failure == nullptr) return true;
    std::fputs(failure, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return false;
}

// A session without services (its connection failed early) reads nothing.
bool QueryWmiProperty(std::wstring& text, WmiSession& session, const char* className,
                      const char* propertyName, bool* timedOut) {
    bool late = session.services == nullptr && session.connectionUnanswered;
    if (timedOut) *timedOut = late;
    IEnumWbemClassObject* enumerator = nullptr;
    if (propertyName == nullptr || FAILED(RunClassQuery(session, className, &enumerator))) {
        return false;
    }
    if (enumerator == nullptr) return true;
    bool read = ReadFirstInstance(text, session, enumerator, propertyName, late);
    ReleaseObject(enumerator);
    if (timedOut) *timedOut = late;
    return read;
}

std::size_t QueryWmiInstances(WmiSession& session, const char* className,
                              const char* const* propertyNames, std::size_t propertyCount,
                              WmiValue* values, std::size_t instanceLimit, bool* timedOut) {
    bool late = session.services == nullptr && session.connectionUnanswered;
    std::size_t instances = 0;
    IEnumWbemClassObject* enumerator = nullptr;
    if (propertyNames == nullptr || FAILED(RunClassQuery(session, className, &enumerator))) {
        enumerator = nullptr;
    }
    while (enumerator != nullptr && instances < instanceLimit) {
        IWbemClassObject* object = NextInstance(session, enumerator, late);
        if (object == nullptr) break;
        WmiValue* instance = values + instances * propertyCount;
        for (std::size_t i = 0; i < propertyCount; ++i) {
            WmiValue& value = instance[i];
            value = WmiValue{};
            ReadProperty(object, propertyNames[i], [&value](const VARIANT& variant, CIMTYPE type) {
                ConvertVariantToValue(value, variant, type);
            });
        }
        ReleaseObject(object);
        ++instances;
    }
    ReleaseObject(enumerator);
    if (timedOut) *timedOut = late;
    return instances;
}

// The call's state is shared by the two threads and freed by the one that
// lets go last, as the connection's is.
struct WmiBackgroundQuery {
    LONG holders = 2;
    WmiSession session;  // its own reference to the services, the same deadline
    const char* className = nullptr;
    const char* const* propertyNames = nullptr;
    std::size_t propertyCount = 0;
    std::size_t instanceLimit = 0;
    std::vector<WmiValue> values;
    HANDLE done = nullptr;
};

namespace {

void LetGo(WmiBackgroundQuery* query) {
    if (InterlockedDecrement(&query->holders) != 0) return;
    ReleaseObject(query->session.services);
    if (query->done) CloseHandle(query->done);
    delete query;
}

DWORD WINAPI RunBackgroundQuery(void* parameter) {
    auto* query = static_cast<WmiBackgroundQuery*>(parameter);
    HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    try {
        std::vector<WmiValue> values(query->instanceLimit * query->propertyCount);
        const std::size_t read =
            QueryWmiInstances(query->session, query->className, query->propertyNames,
                              query->propertyCount, values.data(), query->instanceLimit);
        values.resize(read * query->propertyCount);
        query->values = std::move(values);
    } catch (const std::bad_alloc&) {
        query->values.clear();
    }
    SetEvent(query->done);
    LetGo(query);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

}  // namespace

WmiBackgroundQuery* BeginWmiInstances(WmiSession& session, const char* className,
                                      const char* const* propertyNames, std::size_t propertyCount,
                                      std::size_t instanceLimit) {
    if (session.services == nullptr || propertyNames == nullptr) return nullptr;
    auto* query = new (std::nothrow) WmiBackgroundQuery;
    if (query == nullptr) return nullptr;
    query->session.services = session.services;
    query->session.services->AddRef();
    query->session.deadline = session.deadline;
    query->className = className;
    query->propertyNames = propertyNames;
    query->propertyCount = propertyCount;
    query->instanceLimit = instanceLimit;
    query->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread =
        query->done ? CreateThread(nullptr, 0, RunBackgroundQuery, query, 0, nullptr) : nullptr;
    if (thread == nullptr) {
        query->holders = 1;
        LetGo(query);
        return nullptr;
    }
    CloseHandle(thread);
    return query;
}

bool TakeWmiInstances(WmiBackgroundQuery*& query, std::vector<WmiValue>& values) {
    if (query == nullptr || WaitForSingleObject(query->done, 0) != WAIT_OBJECT_0) return false;
    values = std::move(query->values);
    LetGo(query);
    query = nullptr;
    return true;
}

void AbandonWmiInstances(WmiBackgroundQuery*& query) {
    if (query) LetGo(query);
    query = nullptr;
}

void CloseWmi(WmiSession& session) {
    ReleaseObject(session.services);
    ReleaseObject(session.locator);
    CoUninitialize();
}
