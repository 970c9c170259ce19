#include "probe/wmi.h"

#include "common/release_win.h"
#include "probe/variant_text_win.h"

#include <windows.h>
#include <objbase.h>
#include <wbemcli.h>

#include <cstdio>
#include <new>

namespace {
const char comInitialiseFailed[] = "CoInitializeEx() error.";
const char securityFailed[] = "CoInitializeSecurity() error.";
const char createLocatorFailed[] = "CoCreateInstance() error.";
const char connectServerFailed[] = "ConnectServer() error.";
const char proxyBlanketFailed[] = "CoSetProxyBlanket() error.";

const wchar_t wmiNamespace[] = L"ROOT\\CIMV2";
const char queryLanguage[] = "WQL";
constexpr LONG queryFlags = WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY;
static_assert(queryFlags == 48, "forward-only, return immediately");

HRESULT ConnectToNamespace(WmiSession& session) {
    BSTR resource = SysAllocString(wmiNamespace);
    HRESULT result = session.locator->ConnectServer(resource, nullptr, nullptr, nullptr, 0,
                                                    nullptr, nullptr, &session.services);
    SysFreeString(resource);
    return result;
}

// The message of the first step that fails, or null when all succeed.
const char* RunConnectSteps(WmiSession& session) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return comInitialiseFailed;
    if (FAILED(CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr)))
        return securityFailed;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWbemLocator, reinterpret_cast<void**>(&session.locator))))
        return createLocatorFailed;
    if (FAILED(ConnectToNamespace(session))) return connectServerFailed;
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

// False only when a string could not be made or a value not converted for
// want of memory.
bool ReadProperty(std::wstring& text, IWbemClassObject* object, const char* propertyName) {
    BSTR name = NarrowToBstr(propertyName);
    if (name == nullptr) return false;
    VARIANT value;
    VariantInit(&value);
    HRESULT result = object->Get(name, 0, &value, nullptr, nullptr);
    SysFreeString(name);
    bool converted = true;
    if (SUCCEEDED(result)) {
        try {
            ConvertVariantToText(text, value);
        } catch (const std::bad_alloc&) {
            converted = false;
        }
    }
    VariantClear(&value);
    return converted;
}

bool ReadFirstInstance(std::wstring& text, IEnumWbemClassObject* enumerator,
                       const char* propertyName) {
    IWbemClassObject* object = nullptr;
    ULONG returned = 0;
    enumerator->Next(WBEM_INFINITE, 1, &object, &returned);
    bool read = true;
    if (returned != 0 && object != nullptr) read = ReadProperty(text, object, propertyName);
    ReleaseObject(object);
    return read;
}
}

bool ConnectWmi(WmiSession& session) {
    const char* failure = RunConnectSteps(session);
    if (failure == nullptr) return true;
    std::fputs(failure, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return false;
}

// A session without services (its connection failed early) reads nothing.
bool QueryWmiProperty(std::wstring& text, WmiSession& session, const char* className,
                      const char* propertyName) {
    char query[wmiQueryCapacity];
    if (!BuildWmiQueryText(query, className)) return false;
    if (propertyName == nullptr || session.services == nullptr) return false;
    IEnumWbemClassObject* enumerator = nullptr;
    if (FAILED(RunQuery(session.services, query, &enumerator))) return false;
    if (enumerator == nullptr) return true;
    bool read = ReadFirstInstance(text, enumerator, propertyName);
    ReleaseObject(enumerator);
    return read;
}

void CloseWmi(WmiSession& session) {
    ReleaseObject(session.services);
    ReleaseObject(session.locator);
    CoUninitialize();
}
