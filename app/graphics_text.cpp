#include "app/report_text.h"

#include "app/report_format.h"

namespace {

constexpr int64_t bytesPerMegabyte = 1024 * 1024;
constexpr std::size_t subsystemDigits = 8;
constexpr std::size_t revisionDigits = 2;

// "{}" in a pattern takes the next argument.
struct GraphicsTexts {
    const wchar_t* heading;
    // Description, ids, subsystem, revision, driver version, driver file.
    const wchar_t* measured;
    const wchar_t* display;   // width, height
    const wchar_t* refresh;   // the refresh rate, where told
    const wchar_t* adapters;  // how many Direct3D lists
    const wchar_t* measuredUnknown;
    const wchar_t* controller;  // name, ids, driver version
    const wchar_t* driverDate;
    const wchar_t* status;
    const wchar_t* errorCode;
    const wchar_t* memory;  // megabytes
    const wchar_t* measuredMark;
    const wchar_t* noControllers;
    const wchar_t* unknown;
};

const GraphicsTexts chineseTexts = {
    L"显卡信息",
    L"检测所用：{}，{}，子系统 {}，修订 {}，驱动 {}（{}）",
    L"，显示 {} × {}",
    L" @ {} Hz",
    L"，Direct3D 列出 {} 个显示适配器",
    L"检测所用：未知",
    L"WMI 显卡：{}，{}，驱动 {}",
    L"（{}）",
    L"，状态 {}",
    L"，错误代码 {}",
    L"，显存 {} MB",
    L"（即检测所用）",
    L"WMI 显卡：未列出",
    L"未知",
};

const GraphicsTexts englishTexts = {
    L"Graphics",
    L"Measured: {}, {}, subsystem {}, revision {}, driver {} ({})",
    L", display {} x {}",
    L" at {} Hz",
    L", adapters in Direct3D: {}",
    L"Measured: unknown",
    L"WMI controller: {}, {}, driver {}",
    L" of {}",
    L", status {}",
    L", code {}",
    L", {} MB",
    L" (measured)",
    L"WMI controller: none listed",
    L"unknown",
};

const GraphicsTexts& TextsOf(Language language) {
    return language == Language::Chinese ? chineseTexts : englishTexts;
}

std::wstring OrUnknown(const std::wstring& text, const GraphicsTexts& texts) {
    return text.empty() ? texts.unknown : text;
}

std::wstring MeasuredLine(const MeasuredAdapter& adapter, const GraphicsTexts& texts) {
    if (!adapter.read) return texts.measuredUnknown;
    std::wstring line = Fill(texts.measured,
                             {OrUnknown(adapter.description, texts), PciIdsText(adapter.ids),
                              HexText(adapter.subsystem, subsystemDigits),
                              HexText(adapter.revision, revisionDigits),
                              DriverVersionText(adapter.driverVersion),
                              OrUnknown(adapter.driverFile, texts)});
    if (adapter.width > 0 && adapter.height > 0) {
        line += Fill(texts.display,
                     {std::to_wstring(adapter.width), std::to_wstring(adapter.height)});
    }
    if (adapter.refreshRate > 0) {
        line += Fill(texts.refresh, {std::to_wstring(adapter.refreshRate)});
    }
    return line + Fill(texts.adapters, {std::to_wstring(adapter.adapterCount)});
}

std::wstring ControllerLine(const VideoController& controller, const MeasuredAdapter& adapter,
                            const GraphicsTexts& texts) {
    std::wstring line =
        Fill(texts.controller, {OrUnknown(controller.name, texts),
                                controller.ids.known ? PciIdsText(controller.ids) : texts.unknown,
                                OrUnknown(controller.driverVersion, texts)});
    const std::wstring day = WmiDateDay(controller.driverDate);
    if (!day.empty()) line += Fill(texts.driverDate, {day});
    line += Fill(texts.status, {OrUnknown(controller.status, texts)});
    if (controller.errorCode > 0) {
        line += Fill(texts.errorCode, {std::to_wstring(controller.errorCode)});
    }
    if (controller.adapterRam > 0) {
        line += Fill(texts.memory, {std::to_wstring(controller.adapterRam / bytesPerMegabyte)});
    }
    if (adapter.read && controller.ids.known && controller.ids == adapter.ids) {
        line += texts.measuredMark;
    }
    return line;
}

}  // namespace

std::vector<std::wstring> GraphicsLines(const CheckState& state, Language language) {
    const GraphicsTexts& texts = TextsOf(language);
    const GraphicsSide& graphics = state.circumstances.graphics;
    std::vector<std::wstring> lines = {texts.heading, MeasuredLine(graphics.adapter, texts)};
    for (std::size_t i = 0; i < graphics.controllerCount; ++i) {
        lines.push_back(ControllerLine(graphics.controllers[i], graphics.adapter, texts));
    }
    if (graphics.controllerCount == 0) lines.push_back(texts.noControllers);
    return lines;
}
