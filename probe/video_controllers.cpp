#include "probe/video_controllers.h"

const char* const videoControllerClass =
    WmiPropertyOf(WmiPropertyId::VideoControllerName).className;
const char* const videoControllerProperties[videoControllerPropertyCount] = {
    WmiPropertyOf(WmiPropertyId::VideoControllerName).propertyName, "PNPDeviceID", "DriverVersion",
    "DriverDate", "ConfigManagerErrorCode", "Status",
    WmiPropertyOf(WmiPropertyId::VideoControllerMemory).propertyName,
};

namespace {

std::wstring TextOf(const WmiValue& value) {
    return value.kind == WmiValue::Kind::Text ? CutText(value.text) : std::wstring();
}

int64_t CountOf(const WmiValue& value) {
    return value.kind == WmiValue::Kind::Number && value.number >= 0 ? value.number : unknownNumber;
}

const WmiValue& ValueOf(const WmiValue* values, VideoControllerProperty property) {
    return values[static_cast<std::size_t>(property)];
}

}  // namespace

VideoController VideoControllerOf(const WmiValue* values) {
    using Property = VideoControllerProperty;
    VideoController controller;
    controller.name = TextOf(ValueOf(values, Property::Name));
    const WmiValue& deviceId = ValueOf(values, Property::PnpDeviceId);
    if (deviceId.kind == WmiValue::Kind::Text) controller.ids = PciIdsOfDeviceId(deviceId.text);
    controller.driverVersion = TextOf(ValueOf(values, Property::DriverVersion));
    controller.driverDate = TextOf(ValueOf(values, Property::DriverDate));
    controller.errorCode = CountOf(ValueOf(values, Property::ErrorCode));
    controller.status = TextOf(ValueOf(values, Property::Status));
    controller.adapterRam = CountOf(ValueOf(values, Property::AdapterRam));
    return controller;
}
