// A stand-in for the management service's client (wbemprox) in the tests.
// The probe's tests register it for the locator's class in place of Wine's,
// in a prefix kept for it. TARVOQUIN_WMI, read when the locator is made,
// picks how it behaves:
//   (unset)       answers at once
//   slow          ConnectServer and the first Next take 3 s each, as a cold
//                 service may
//   hang-connect  ConnectServer never returns
//   hang-next     Next finds nothing until its time-out ends (never, when told
//                 to wait without a limit)
//   fail-create   there is no locator
//   fail-connect  ConnectServer refuses (access denied)
//   fail-blanket  the services have no client security: CoSetProxyBlanket fails
//   hang-video    as unset, but Next finds no video controller until its
//                 time-out ends
// It serves one instance a WQL query, none FROM Nothing, four FROM
// Win32_VideoController (videoControllers below); it refuses FROM Refused.
#define CINTERFACE
#define CONST_VTABLE
#include <windows.h>
#include <objbase.h>
#include <wbemcli.h>

#include <cstddef>
#include <cwchar>
#include <iterator>

namespace {

constexpr DWORD slowMilliseconds = 3000;
constexpr LONG maxClockSpeed = 2400;

// The probe's properties, found by name whatever the class; WMI gives
// unsigned 64-bit ones as strings.
const struct { const wchar_t* property; const wchar_t* text; } texts[] = {
    {L"Name", L"Stand-in CPU"}, {L"Caption", L"Stand-in Windows"}, {L"Version", L"10.0.19045"},
    {L"TotalVisibleMemorySize", L"16777216"}};

// A processor's graphics, a card Windows stopped (code 43), a card run on
// the basic display driver, and one whose every property is null.
const wchar_t* const videoTextNames[] = {L"Name", L"PNPDeviceID", L"DriverVersion", L"DriverDate",
                                         L"Status"};
struct VideoControllerValues {
    const wchar_t* texts[5];  // by videoTextNames
    LONG errorCode;
    LONG adapterRam;  // WMI gives the unsigned 32-bit value in a VT_I4
    bool ramKnown;
};
const VideoControllerValues videoControllers[] = {
    {{L"Intel(R) UHD Graphics 630", L"PCI\\VEN_8086&DEV_3E92&SUBSYS_86941043&REV_00\\3&11583659",
      L"27.20.100.8681", L"20200910000000.000000-000", L"OK"}, 0, 1073741824, true},
    {{L"NVIDIA GeForce GTX 1060 6GB", L"PCI\\VEN_10DE&DEV_1C03&SUBSYS_85AE1043&REV_A1\\4&2B3E1C8A",
      L"31.0.15.3623", L"20230907000000.000000-000", L"Error"}, 43, LONG(0xFFF00000), true},
    {{L"Microsoft Basic Display Adapter", L"PCI\\VEN_10DE&DEV_2484&SUBSYS_00000000&REV_A1\\4&1",
      L"10.0.19041.3636", L"20060621000000.000000-000", L"OK"}, 0, 0, false},
    {{}, 0, 0, false},
};
constexpr std::size_t videoControllerCount = sizeof videoControllers / sizeof videoControllers[0];

wchar_t behaviour[32] = {};

bool Is(const wchar_t* name) { return std::wcscmp(behaviour, name) == 0; }

HRESULT STDMETHODCALLTYPE NotImplemented() { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE QueryInterface(IUnknown* face, REFIID id, void** out) {
    *out = IsEqualIID(id, IID_IUnknown) ? face : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE Count(IUnknown*) { return 1; }

// The method table of an object that lives as long as the process, so it
// keeps no count. Every slot answers E_NOTIMPL until set: the client calls
// only a few.
template <typename Table, typename Set>
const Table* Methods(Set set) {
    static Table table;
    auto** slots = reinterpret_cast<void**>(&table);
    for (std::size_t i = 0; i < sizeof table / sizeof(void*); ++i) {
        slots[i] = reinterpret_cast<void*>(&NotImplemented);
    }
    slots[0] = reinterpret_cast<void*>(&QueryInterface);
    slots[1] = slots[2] = reinterpret_cast<void*>(&Count);
    set(table);
    return &table;
}

HRESULT Text(VARIANT* out, const wchar_t* text) {
    if (!text) {
        out->vt = VT_NULL;
        return S_OK;
    }
    out->vt = VT_BSTR;
    out->bstrVal = SysAllocString(text);
    return S_OK;
}

HRESULT Unsigned(VARIANT* out, CIMTYPE* type, LONG value, bool known) {
    if (type) *type = CIM_UINT32;
    out->vt = known ? VT_I4 : VT_NULL;
    out->lVal = value;
    return S_OK;
}

HRESULT GetVideoController(const VideoControllerValues& values, LPCWSTR name, VARIANT* out,
                           CIMTYPE* type) {
    for (std::size_t i = 0; i < std::size(videoTextNames); ++i) {
        if (std::wcscmp(name, videoTextNames[i]) == 0) return Text(out, values.texts[i]);
    }
    if (std::wcscmp(name, L"ConfigManagerErrorCode") == 0) {
        return Unsigned(out, type, values.errorCode, values.texts[0] != nullptr);
    }
    if (std::wcscmp(name, L"AdapterRAM") == 0) {
        return Unsigned(out, type, values.adapterRam, values.ramKnown);
    }
    return WBEM_E_NOT_FOUND;
}

IWbemClassObject videoObjects[videoControllerCount];

HRESULT STDMETHODCALLTYPE Get(IWbemClassObject* self, LPCWSTR name, LONG, VARIANT* out,
                              CIMTYPE* type, LONG*) {
    VariantInit(out);
    if (self >= videoObjects && self < videoObjects + videoControllerCount) {
        return GetVideoController(videoControllers[self - videoObjects], name, out, type);
    }
    if (std::wcscmp(name, L"MaxClockSpeed") == 0) {
        out->vt = VT_I4;
        out->lVal = maxClockSpeed;
        return S_OK;
    }
    for (const auto& text : texts) {
        if (std::wcscmp(name, text.property) == 0) return Text(out, text.text);
    }
    return WBEM_E_NOT_FOUND;
}

const IWbemClassObjectVtbl* const objectMethods =
    Methods<IWbemClassObjectVtbl>([](auto& t) { t.Get = Get; });
IWbemClassObject object = {objectMethods};

// Of the last query: the client reads one query's results before the next.
LONG instancesLeft = 0;
bool videoQuery = false;
std::size_t nextVideoObject = 0;

HRESULT STDMETHODCALLTYPE Next(IEnumWbemClassObject*, LONG timeout, ULONG count,
                               IWbemClassObject** objects, ULONG* returned) {
    *returned = 0;
    if (Is(L"hang-next") || (Is(L"hang-video") && videoQuery)) {
        Sleep(timeout == LONG(WBEM_INFINITE) ? INFINITE : DWORD(timeout));
        return WBEM_S_TIMEDOUT;
    }
    static LONG nexts = 0;
    if (Is(L"slow") && InterlockedIncrement(&nexts) == 1) Sleep(slowMilliseconds);
    if (count == 0 || instancesLeft == 0) return WBEM_S_FALSE;
    --instancesLeft;
    objects[0] = videoQuery ? &videoObjects[nextVideoObject++] : &object;
    *returned = 1;
    return count == 1 ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
}

IEnumWbemClassObject enumerator = {Methods<IEnumWbemClassObjectVtbl>([](auto& t) {
    t.Next = Next;
})};

HRESULT STDMETHODCALLTYPE ExecQuery(IWbemServices*, const BSTR language, const BSTR query, LONG,
                                    IWbemContext*, IEnumWbemClassObject** results) {
    *results = nullptr;
    const wchar_t* from = query ? std::wcsstr(query, L"FROM ") : nullptr;
    if (!language || std::wcscmp(language, L"WQL") != 0 || !from) return WBEM_E_INVALID_QUERY;
    if (std::wcscmp(from + 5, L"Refused") == 0) return WBEM_E_INVALID_CLASS;
    videoQuery = std::wcscmp(from + 5, L"Win32_VideoController") == 0;
    nextVideoObject = 0;
    for (IWbemClassObject& video : videoObjects) video.lpVtbl = objectMethods;
    instancesLeft = videoQuery ? LONG(videoControllerCount)
                               : std::wcscmp(from + 5, L"Nothing") == 0 ? 0 : 1;
    *results = &enumerator;
    return WBEM_S_NO_ERROR;
}

HRESULT STDMETHODCALLTYPE SetBlanket(IClientSecurity*, IUnknown*, DWORD, DWORD, OLECHAR*, DWORD,
                                     DWORD, void*, DWORD) {
    return S_OK;
}

IClientSecurity security = {Methods<IClientSecurityVtbl>([](auto& t) {
    t.SetBlanket = SetBlanket;
})};

// CoSetProxyBlanket asks the services for their client security.
HRESULT STDMETHODCALLTYPE ServicesQueryInterface(IWbemServices* face, REFIID id, void** out) {
    if (!IsEqualIID(id, IID_IClientSecurity) || Is(L"fail-blanket")) {
        return QueryInterface(reinterpret_cast<IUnknown*>(face), id, out);
    }
    *out = &security;
    return S_OK;
}

IWbemServices services = {Methods<IWbemServicesVtbl>([](auto& t) {
    t.QueryInterface = ServicesQueryInterface;
    t.ExecQuery = ExecQuery;
})};

HRESULT STDMETHODCALLTYPE ConnectServer(IWbemLocator*, const BSTR resource, const BSTR, const BSTR,
                                        const BSTR, LONG, const BSTR, IWbemContext*,
                                        IWbemServices** connected) {
    *connected = nullptr;
    if (Is(L"hang-connect")) Sleep(INFINITE);
    if (Is(L"slow")) Sleep(slowMilliseconds);
    if (Is(L"fail-connect")) return WBEM_E_ACCESS_DENIED;
    if (!resource || _wcsicmp(resource, L"ROOT\\CIMV2") != 0) return WBEM_E_INVALID_NAMESPACE;
    *connected = &services;
    return WBEM_S_NO_ERROR;
}

IWbemLocator locator = {Methods<IWbemLocatorVtbl>([](auto& t) {
    t.ConnectServer = ConnectServer;
})};

HRESULT STDMETHODCALLTYPE CreateInstance(IClassFactory*, IUnknown* outer, REFIID id, void** out) {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!IsEqualIID(id, IID_IWbemLocator) && !IsEqualIID(id, IID_IUnknown)) return E_NOINTERFACE;
    *out = &locator;
    return S_OK;
}

IClassFactory factory = {Methods<IClassFactoryVtbl>([](auto& t) {
    t.CreateInstance = CreateInstance;
})};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID id, REFIID face,
                                                                  void** out) {
    *out = nullptr;
    if (GetEnvironmentVariableW(L"TARVOQUIN_WMI", behaviour, 32) >= 32) behaviour[0] = L'\0';
    if (!IsEqualCLSID(id, CLSID_WbemLocator) || Is(L"fail-create")) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    const bool known = IsEqualIID(face, IID_IClassFactory) || IsEqualIID(face, IID_IUnknown);
    *out = known ? &factory : nullptr;
    return known ? S_OK : E_NOINTERFACE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
