#include "tests/probe_double.h"

#include "probe/probe.h"

ProbeDouble probeDouble;

bool ConnectWmi(WmiSession& session) {
    probeDouble.calls.push_back({"ConnectWmi", &session, {}});
    return probeDouble.connectResult;
}

bool QueryWmiProperty(std::wstring& text, WmiSession& session, const char* className,
                      const char* propertyName) {
    std::string name = std::string(className) + "." + propertyName;
    probeDouble.calls.push_back({name, &session, text});
    auto scripted = probeDouble.reads.find(name);
    if (scripted == probeDouble.reads.end()) return false;
    if (scripted->second.result && scripted->second.value) text = *scripted->second.value;
    return scripted->second.result;
}

bool IsOsVersionAbove61() {
    probeDouble.calls.push_back({"IsOsVersionAbove61", nullptr, {}});
    return probeDouble.osVersionAbove61;
}
