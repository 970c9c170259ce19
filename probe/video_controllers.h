#pragma once

#include "common/graphics.h"
#include "probe/wmi.h"

#include <cstddef>

// The video controllers WMI lists, each instance of Win32_VideoController
// read once, property by property in this order.
enum class VideoControllerProperty : std::size_t {
    Name,
    PnpDeviceId,
    DriverVersion,
    DriverDate,
    ErrorCode,  // ConfigManagerErrorCode
    Status,
    AdapterRam,
};
constexpr std::size_t videoControllerPropertyCount = 7;
extern const char* const videoControllerClass;
extern const char* const videoControllerProperties[videoControllerPropertyCount];

// A controller from its videoControllerPropertyCount values, in
// VideoControllerProperty's order: a value of another sort than its
// property's (a number for a name, a negative count) is unknown, its text
// empty or its number unknownNumber; texts are cut to graphicsTextLimit; a
// PNPDeviceID that is not a PCI one gives no ids.
VideoController VideoControllerOf(const WmiValue* values);
