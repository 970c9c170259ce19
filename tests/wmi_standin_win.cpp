// A stand-in for the management service's client (wbemprox) in the tests.
// It registers itself for the locator's class in place of Wine's
// (regsvr32 wmi_standin.dll), in a prefix kept for it. TARVOQUIN_WMI, read
// when the locator is made, picks how it behaves:
//   (unset)       answers at once
//   slow          ConnectServer and the first Next take 3 s each, as a cold
//                 service may
//   hang-connect  ConnectServer never returns
//   hang-next     Next finds nothing until its time-out ends (never, when told
//                 to wait without a limit)
//   fail-create   there is no locator
//   fail-connect  ConnectServer refuses (access denied)
//   fail-blanket  the services have no client security: CoSetProxyBlanket fails
// Each query's class is the text after "FROM ": the probe's two classes,
// "Kinds" (a value of each kind the client meets), "Several" (two instances),
// "Nothing" (none); any other class is refused.
#define CINTERFACE
#define COBJMACROS
#include <windows.h>
#include <objbase.h>
#include <olectl.h>
#include <wbemcli.h>

#include <cstddef>
#include <cwchar>

namespace {

constexpr DWORD slowMilliseconds = 3000;

struct Value {
    const wchar_t* className;
    int instance;
    const wchar_t* property;
    VARTYPE kind;
    LONGLONG number;
    const wchar_t* text;
    UINT textLength;
};

const Value values[] = {
    {L"Win32_Processor", 0, L"Name", VT_BSTR, 0, L"Stand-in CPU", 12},
    {L"Win32_Processor", 0, L"MaxClockSpeed", VT_I4, 2400, nullptr, 0},
    {L"Win32_OperatingSystem", 0, L"Caption", VT_BSTR, 0, L"Stand-in Windows", 16},
    {L"Win32_OperatingSystem", 0, L"Version", VT_BSTR, 0, L"10.0.19045", 10},
    // WMI gives unsigned 64-bit properties as strings.
    {L"Win32_OperatingSystem", 0, L"TotalVisibleMemorySize", VT_BSTR, 0, L"16777216", 8},
    {L"Kinds", 0, L"UI4", VT_UI4, 3000000000LL, nullptr, 0},
    {L"Kinds", 0, L"I8", VT_I8, 4294967301LL, nullptr, 0},
    {L"Kinds", 0, L"UI8", VT_UI8, 4294967301LL, nullptr, 0},
    {L"Kinds", 0, L"Null", VT_NULL, 0, nullptr, 0},
    {L"Kinds", 0, L"Embedded", VT_BSTR, 0, L"Intel\0hidden", 12},
    {L"Kinds", 0, L"Real", VT_R8, 0, nullptr, 0},
    {L"Several", 0, L"Name", VT_BSTR, 0, L"first", 5},
    {L"Several", 1, L"Name", VT_BSTR, 0, L"second", 6},
};

int InstanceCount(const wchar_t* className) {
    int count = std::wcscmp(className, L"Nothing") == 0 ? 0 : -1;  // -1: a class not served
    for (const Value& value : values) {
        if (std::wcscmp(className, value.className) == 0 && value.instance >= count) {
            count = value.instance + 1;
        }
    }
    return count;
}

wchar_t behaviour[32] = {};

bool Is(const wchar_t* name) { return std::wcscmp(behaviour, name) == 0; }

HRESULT STDMETHODCALLTYPE NotImplemented() { return E_NOTIMPL; }

// Every slot answers E_NOTIMPL until set: the client calls only a few.
template <typename Table>
Table NotImplementedTable() {
    Table table;
    auto** slots = reinterpret_cast<void**>(&table);
    for (std::size_t i = 0; i < sizeof table / sizeof(void*); ++i) {
        slots[i] = reinterpret_cast<void*>(&NotImplemented);
    }
    return table;
}

// Each object: its interface's table first, then its count and data.
template <typename Interface>
struct Object {
    Interface face;
    LONG references;
    const IID* id;
    wchar_t className[64];
    int position;  // the enumerator's next instance, the object's own
    IClientSecurity security;  // the services' second face
};

template <typename Interface>
Object<Interface>* Of(Interface* face) {
    return reinterpret_cast<Object<Interface>*>(face);
}

template <typename Interface>
ULONG STDMETHODCALLTYPE AddRef(Interface* face) {
    return static_cast<ULONG>(InterlockedIncrement(&Of(face)->references));
}

template <typename Interface>
ULONG STDMETHODCALLTYPE Release(Interface* face) {
    LONG left = InterlockedDecrement(&Of(face)->references);
    if (left == 0) delete Of(face);
    return static_cast<ULONG>(left);
}

template <typename Interface>
HRESULT STDMETHODCALLTYPE QueryInterface(Interface* face, REFIID id, void** out) {
    *out = nullptr;
    if (!IsEqualIID(id, IID_IUnknown) && !IsEqualIID(id, *Of(face)->id)) return E_NOINTERFACE;
    AddRef(face);
    *out = face;
    return S_OK;
}

template <typename Interface, typename Table>
Interface* Make(const Table& table, const IID& id, const wchar_t* className = L"",
                int position = 0) {
    auto* object = new Object<Interface>{};
    object->face.lpVtbl = const_cast<Table*>(&table);
    object->references = 1;
    object->id = &id;
    wcsncpy(object->className, className, 63);
    object->position = position;
    return &object->face;
}

template <typename Table, typename Interface>
Table BasicTable() {
    Table table = NotImplementedTable<Table>();
    table.QueryInterface = QueryInterface<Interface>;
    table.AddRef = AddRef<Interface>;
    table.Release = Release<Interface>;
    return table;
}

// The object: Get reads the value of its class and instance.
HRESULT STDMETHODCALLTYPE Get(IWbemClassObject* face, LPCWSTR name, LONG, VARIANT* out, CIMTYPE*,
                              LONG*) {
    Object<IWbemClassObject>* object = Of(face);
    for (const Value& value : values) {
        if (std::wcscmp(object->className, value.className) != 0 || object->position != value.instance ||
            std::wcscmp(name, value.property) != 0) {
            continue;
        }
        VariantInit(out);
        out->vt = value.kind;
        if (value.kind == VT_BSTR) out->bstrVal = SysAllocStringLen(value.text, value.textLength);
        else out->llVal = value.number;
        return S_OK;
    }
    return WBEM_E_NOT_FOUND;
}

const IWbemClassObjectVtbl objectTable = [] {
    auto table = BasicTable<IWbemClassObjectVtbl, IWbemClassObject>();
    table.Get = Get;
    return table;
}();

// The enumerator: one instance after the other.
HRESULT STDMETHODCALLTYPE Next(IEnumWbemClassObject* face, LONG timeout, ULONG count,
                               IWbemClassObject** objects, ULONG* returned) {
    *returned = 0;
    if (Is(L"hang-next")) {
        Sleep(timeout == LONG(WBEM_INFINITE) ? INFINITE : DWORD(timeout));
        return WBEM_S_TIMEDOUT;
    }
    static LONG nexts = 0;
    if (Is(L"slow") && InterlockedIncrement(&nexts) == 1) Sleep(slowMilliseconds);
    Object<IEnumWbemClassObject>* results = Of(face);
    if (count == 0 || results->position >= InstanceCount(results->className)) return WBEM_S_FALSE;
    objects[0] = Make<IWbemClassObject>(objectTable, IID_IWbemClassObject, results->className,
                                        results->position++);
    *returned = 1;
    return count == 1 ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
}

const IEnumWbemClassObjectVtbl enumeratorTable = [] {
    auto table = BasicTable<IEnumWbemClassObjectVtbl, IEnumWbemClassObject>();
    table.Next = Next;
    return table;
}();

// The services: queries, and the client security that CoSetProxyBlanket asks for.
HRESULT STDMETHODCALLTYPE ExecQuery(IWbemServices*, const BSTR language, const BSTR query, LONG,
                                    IWbemContext*, IEnumWbemClassObject** results) {
    *results = nullptr;
    const wchar_t* from = query ? std::wcsstr(query, L"FROM ") : nullptr;
    if (!language || std::wcscmp(language, L"WQL") != 0 || !from) return WBEM_E_INVALID_QUERY;
    const wchar_t* className = from + 5;
    if (std::wcslen(className) >= 64 || InstanceCount(className) < 0) return WBEM_E_INVALID_CLASS;
    *results = Make<IEnumWbemClassObject>(enumeratorTable, IID_IEnumWbemClassObject, className);
    return WBEM_S_NO_ERROR;
}

Object<IWbemServices>* ServicesOf(IClientSecurity* security) {
    return reinterpret_cast<Object<IWbemServices>*>(reinterpret_cast<char*>(security) -
                                                     offsetof(Object<IWbemServices>, security));
}

HRESULT STDMETHODCALLTYPE ServicesQueryInterface(IWbemServices* face, REFIID id, void** out) {
    if (!IsEqualIID(id, IID_IClientSecurity) || Is(L"fail-blanket")) {
        return QueryInterface(face, id, out);
    }
    AddRef(face);
    *out = &Of(face)->security;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SecurityQueryInterface(IClientSecurity* security, REFIID id, void** out) {
    return ServicesQueryInterface(&ServicesOf(security)->face, id, out);
}
ULONG STDMETHODCALLTYPE SecurityAddRef(IClientSecurity* security) {
    return AddRef(&ServicesOf(security)->face);
}
ULONG STDMETHODCALLTYPE SecurityRelease(IClientSecurity* security) {
    return Release(&ServicesOf(security)->face);
}
HRESULT STDMETHODCALLTYPE SetBlanket(IClientSecurity*, IUnknown*, DWORD, DWORD, OLECHAR*, DWORD,
                                     DWORD, void*, DWORD) {
    return S_OK;
}

const IWbemServicesVtbl servicesTable = [] {
    auto table = BasicTable<IWbemServicesVtbl, IWbemServices>();
    table.QueryInterface = ServicesQueryInterface;
    table.ExecQuery = ExecQuery;
    return table;
}();

const IClientSecurityVtbl securityTable = [] {
    auto table = NotImplementedTable<IClientSecurityVtbl>();
    table.QueryInterface = SecurityQueryInterface;
    table.AddRef = SecurityAddRef;
    table.Release = SecurityRelease;
    table.SetBlanket = SetBlanket;
    return table;
}();

// The locator.
HRESULT STDMETHODCALLTYPE ConnectServer(IWbemLocator*, const BSTR resource, const BSTR, const BSTR,
                                        const BSTR, LONG, const BSTR, IWbemContext*,
                                        IWbemServices** services) {
    *services = nullptr;
    if (Is(L"hang-connect")) Sleep(INFINITE);
    if (Is(L"slow")) Sleep(slowMilliseconds);
    if (Is(L"fail-connect")) return WBEM_E_ACCESS_DENIED;
    if (!resource || _wcsicmp(resource, L"ROOT\\CIMV2") != 0) return WBEM_E_INVALID_NAMESPACE;
    *services = Make<IWbemServices>(servicesTable, IID_IWbemServices);
    Of(*services)->security.lpVtbl = const_cast<IClientSecurityVtbl*>(&securityTable);
    return WBEM_S_NO_ERROR;
}

const IWbemLocatorVtbl locatorTable = [] {
    auto table = BasicTable<IWbemLocatorVtbl, IWbemLocator>();
    table.ConnectServer = ConnectServer;
    return table;
}();

// The class factory, one for the process.
HRESULT STDMETHODCALLTYPE CreateInstance(IClassFactory*, IUnknown* outer, REFIID id, void** out) {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!IsEqualIID(id, IID_IWbemLocator) && !IsEqualIID(id, IID_IUnknown)) return E_NOINTERFACE;
    *out = Make<IWbemLocator>(locatorTable, IID_IWbemLocator);
    return S_OK;
}
ULONG STDMETHODCALLTYPE FactoryCount(IClassFactory*) { return 1; }
HRESULT STDMETHODCALLTYPE FactoryQueryInterface(IClassFactory* factory, REFIID id, void** out) {
    *out = IsEqualIID(id, IID_IClassFactory) || IsEqualIID(id, IID_IUnknown) ? factory : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
}
HRESULT STDMETHODCALLTYPE LockServer(IClassFactory*, BOOL) { return S_OK; }

IClassFactoryVtbl factoryTable = {FactoryQueryInterface, FactoryCount, FactoryCount,
                                  CreateInstance, LockServer};
IClassFactory factory = {&factoryTable};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID id, REFIID face,
                                                                  void** out) {
    *out = nullptr;
    if (GetEnvironmentVariableW(L"TARVOQUIN_WMI", behaviour, 32) >= 32) behaviour[0] = L'\0';
    if (!IsEqualCLSID(id, CLSID_WbemLocator) || Is(L"fail-create")) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return FactoryQueryInterface(&factory, face, out);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    constexpr wchar_t server[] =
        L"Software\\Classes\\CLSID\\{4590F811-1D3A-11D0-891F-00AA004B2E24}\\InprocServer32";
    HMODULE self = nullptr;
    wchar_t path[MAX_PATH] = {};
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&DllRegisterServer), &self);
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return SELFREG_E_CLASS;
    LSTATUS status = RegSetKeyValueW(HKEY_LOCAL_MACHINE, server, nullptr, REG_SZ, path,
                                     (length + 1) * sizeof(wchar_t));
    if (status == ERROR_SUCCESS) {
        status = RegSetKeyValueW(HKEY_LOCAL_MACHINE, server, L"ThreadingModel", REG_SZ, L"Both",
                                 sizeof L"Both");
    }
    return status == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}
