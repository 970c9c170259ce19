#include "app/report_text.h"

#include "app/report_format.h"
#include "common/verdict.h"

#include <iterator>

namespace {

// What Windows' ConfigManagerErrorCode values mean, and what a player does
// about each.
enum class Remedy : uint8_t { Reinstall, Enable, Restart };

struct StopCode {
    int64_t code;
    Remedy remedy;
    const wchar_t* chinese;
    const wchar_t* english;
};

constexpr StopCode stopCodes[] = {
    {1, Remedy::Reinstall, L"设备配置不正确", L"it is not configured correctly"},
    {3, Remedy::Reinstall, L"驱动程序已损坏，或系统内存不足",
     L"its driver is damaged, or the system is short of memory"},
    {10, Remedy::Reinstall, L"设备无法启动", L"it cannot start"},
    {12, Remedy::Reinstall, L"设备找不到足够的可用资源", L"it cannot find enough free resources"},
    {14, Remedy::Restart, L"需要重新启动电脑", L"the computer must be restarted"},
    {18, Remedy::Reinstall, L"需要重新安装驱动程序", L"its driver must be reinstalled"},
    {22, Remedy::Enable, L"设备已被禁用", L"it is disabled"},
    {24, Remedy::Reinstall, L"设备不存在或没有驱动程序", L"it is not present or has no driver"},
    {28, Remedy::Reinstall, L"没有安装驱动程序", L"its driver is not installed"},
    {31, Remedy::Reinstall, L"Windows 无法加载其驱动程序", L"Windows cannot load its driver"},
    {39, Remedy::Reinstall, L"驱动程序丢失或已损坏", L"its driver is missing or damaged"},
    {43, Remedy::Reinstall, L"设备报告了问题", L"it reported problems"},
    {52, Remedy::Reinstall, L"无法验证驱动程序的数字签名",
     L"its driver's signature cannot be verified"},
};
constexpr StopCode otherStopCode = {0, Remedy::Reinstall, L"设备有问题", L"it has a problem"};

// "{}" in a pattern takes the next argument. Where a diagnosis says one of
// several things, its sentence is the first of them: no driver on Windows'
// basic driver (the measured adapter's description), a card stopped with
// an error code (the controller's name, ids, code and what it means, the
// remedy).
struct DiagnosisTexts {
    const wchar_t* sentences[diagnosisCount];
    const wchar_t* driverlessCard;     // no driver: the card's maker, its ids, the maker
    const wchar_t* software;           // no driver: the software rasteriser's description
    const wchar_t* stoppedWithStatus;  // a status other than OK: name, ids, status, remedy
    const wchar_t* remedies[3];        // by Remedy
    const wchar_t* unknown;
};

const DiagnosisTexts chineseTexts = {
    {
        L"远程桌面会话中没有 Direct3D 9 设备：请直接在这台电脑上运行检测。",
        L"没有 Direct3D 9 设备：请安装或更新显卡驱动。",
        L"显卡无法创建检测场景：请更新显卡驱动后重新检测。",
        L"Direct3D 使用的是 Windows 的基本显示驱动（{}），显卡没有驱动：请安装显卡厂商的驱动后重新检测。",
        L"检测运行在虚拟机中（{}），其显卡是模拟的：请直接在电脑本机上运行检测。",
        L"Windows 已停用 {}（{}，错误代码 {}：{}）：{}",
        L"Direct3D 报告本次检测使用的是 {}（{}），但这台电脑还有 {}（{}）。如果它是要玩游戏的显卡："
        L"台式机请把显示器接到显卡的接口上，笔记本请在 Windows 的“图形设置”中为 TarvoquinCheck.exe "
        L"和游戏选择“高性能”，然后重新检测。",
        L"第 {} 秒时有一帧用了 {} 毫秒（电脑停顿了一下）：请关闭其他程序后重新检测。",
        L"垂直同步或帧率限制把帧率锁在每秒 {} 帧：请在显卡驱动设置中为本检测关闭它。",
        L"测帧时其他程序占用了 {}% 的处理器时间，帧时间因此偏高：请关闭其他程序后重新检测。",
        L"CPU 测试时其他程序占用了 {}% 的处理器时间，CPU 分数因此偏低：请关闭其他程序后重新检测。",
        L"电脑正在使用电池：请接上电源后重新检测。",
        L"Windows Management Instrumentation（WMI）没有及时响应，处理器主频或内存无法读取："
        L"请重新启动电脑或 Windows Management Instrumentation 服务后重新检测。",
        L"Windows Management Instrumentation（WMI）没有给出处理器主频或内存："
        L"请重新启动电脑或 Windows Management Instrumentation 服务后重新检测。",
        L"游戏需要 Windows 8 或更高版本，本机的 {} 不受支持：请升级 Windows 后再玩。",
        L"游戏需要 Windows 可用的内存不少于 {}（即装有 4 GB 或以上内存）：请加装内存后再玩。",
        L"游戏需要主频不低于 {} 的处理器，本机处理器的最高主频为 {}：需要更快的处理器。",
    },
    L"{} 显卡（{}）正在使用 Windows 的基本显示驱动，没有装它自己的驱动：请安装 {} 显卡驱动后重新检测。",
    L"Direct3D 在用软件绘图（{}），没有用显卡：请安装显卡驱动后重新检测。",
    L"Windows 报告 {}（{}）的状态为“{}”：{}",
    {L"请重新安装它的驱动（从显卡厂商网站下载）后重新检测。", L"请在设备管理器中启用它后重新检测。",
     L"请重新启动电脑后重新检测。"},
    L"未知",
};

const DiagnosisTexts englishTexts = {
    {
        L"A remote desktop session has no Direct3D 9 device: run the check at the computer itself.",
        L"There is no Direct3D 9 device: install or update the graphics driver.",
        L"The graphics card could not make the check's scene: update the graphics driver and "
        L"check again.",
        L"Direct3D runs on Windows' basic display driver ({}): the graphics card has no driver. "
        L"Install the driver from the card's maker and check again.",
        L"The check runs in a virtual machine ({}), whose graphics are emulated: run the check on "
        L"the computer itself.",
        L"Windows has stopped {} ({}, code {}: {}): {}",
        L"Direct3D named {} ({}) as the graphics this check ran on, but the computer also has {} "
        L"({}). If that is the card to play on: connect the monitor to the card's socket (a "
        L"desktop), or choose \u201cHigh performance\u201d for TarvoquinCheck.exe and the game in "
        L"Windows' graphics settings (a laptop), then check again.",
        L"A frame at {} s took {} ms (the computer stalled): close other programs and check again.",
        L"Vertical sync or a frame limiter holds the rate at {} frames a second: switch it off in "
        L"the graphics driver's settings for this check.",
        L"Other programs used {}% of the processor while frames were timed, so the frame time "
        L"reads high: close them and check again.",
        L"Other programs used {}% of the processor while the CPU was measured, so the score reads "
        L"low: close them and check again.",
        L"The computer runs on battery: plug it in and check again.",
        L"Windows Management Instrumentation (WMI) did not answer in time, so the processor clock "
        L"or the memory could not be read: restart the computer, or the Windows Management "
        L"Instrumentation service, and check again.",
        L"Windows Management Instrumentation (WMI) gave no processor clock or memory: restart the "
        L"computer, or the Windows Management Instrumentation service, and check again.",
        L"The game needs Windows 8 or later; {} is not supported: upgrade Windows to play.",
        L"The game needs at least {} of memory that Windows can use (4 GB or more installed): add "
        L"memory to play.",
        L"The game needs a processor of at least {}; this one's top clock is {}: it needs a faster "
        L"processor.",
    },
    L"The {} graphics card ({}) runs on Windows' basic display driver, without its own: install "
    L"the {} graphics driver and check again.",
    L"Direct3D draws in software ({}), not on a graphics card: install the graphics card's driver "
    L"and check again.",
    L"Windows reports {} ({}) as \u201c{}\u201d: {}",
    {L"reinstall its driver (from the card maker's site) and check again.",
     L"enable it in Device Manager and check again.", L"restart the computer and check again."},
    L"unknown",
};

const DiagnosisTexts& TextsOf(Language language) {
    return language == Language::Chinese ? chineseTexts : englishTexts;
}

// Windows releases by the version they report (major x 256 + minor).
struct Release {
    uint32_t version;
    const wchar_t* name;
};
constexpr Release releases[] = {
    {0x0500, L"Windows 2000"}, {0x0501, L"Windows XP"},  {0x0502, L"Windows XP x64"},
    {0x0600, L"Windows Vista"}, {0x0601, L"Windows 7"},  {0x0602, L"Windows 8"},
    {0x0603, L"Windows 8.1"},  {0x0A00, L"Windows 10/11"},
};

std::wstring OrUnknown(const std::wstring& text, const DiagnosisTexts& texts) {
    return text.empty() ? texts.unknown : text;
}

std::wstring IdsText(const PciIds& ids, const DiagnosisTexts& texts) {
    return ids.known ? PciIdsText(ids) : texts.unknown;
}

// "Windows 7 (6.1)", or "Windows 4.10" for a version of no release known.
std::wstring ReleaseText(double figure, Language language) {
    const std::wstring version = RuleFigureText(Rule::OsVersion, figure, language);
    for (const Release& release : releases) {
        if (static_cast<double>(release.version) == figure) {
            return std::wstring(release.name) + L" (" + version + L")";
        }
    }
    return L"Windows " + version;
}

const StopCode& StopCodeOf(int64_t code) {
    for (const StopCode& known : stopCodes) {
        if (known.code == code) return known;
    }
    return otherStopCode;
}

std::wstring StoppedLine(const VideoController& card, Language language) {
    const DiagnosisTexts& texts = TextsOf(language);
    const wchar_t* pattern = texts.sentences[static_cast<std::size_t>(Diagnosis::CardStopped)];
    const std::wstring name = OrUnknown(card.name, texts);
    if (card.errorCode <= 0) {
        return Fill(texts.stoppedWithStatus, {name, IdsText(card.ids, texts), card.status,
                                              texts.remedies[0]});
    }
    const StopCode& code = StopCodeOf(card.errorCode);
    const wchar_t* meaning = language == Language::Chinese ? code.chinese : code.english;
    return Fill(pattern,
                {name, IdsText(card.ids, texts), std::to_wstring(card.errorCode), meaning,
                 texts.remedies[static_cast<std::size_t>(code.remedy)]});
}

std::wstring NoDriverLine(const GraphicsSide& graphics, const DiagnosisTexts& texts) {
    if (const VideoController* card = DriverlessCard(graphics)) {
        const wchar_t* maker = MakerName(MakerOfVendor(card->ids.vendor));
        return Fill(texts.driverlessCard, {maker, PciIdsText(card->ids), maker});
    }
    const MeasuredAdapter& adapter = graphics.adapter;
    const bool software = KindOfAdapter(adapter.ids, adapter.description) == AdapterKind::Software;
    const wchar_t* basicDriver =
        texts.sentences[static_cast<std::size_t>(Diagnosis::NoGraphicsDriver)];
    return Fill(software ? texts.software : basicDriver, {OrUnknown(adapter.description, texts)});
}

std::wstring AnotherGpuLine(const GraphicsSide& graphics, const DiagnosisTexts& texts,
                            const wchar_t* pattern) {
    const MeasuredAdapter& adapter = graphics.adapter;
    const VideoController* other = UnmeasuredCard(graphics);
    if (!other) return {};
    return Fill(pattern, {OrUnknown(adapter.description, texts), IdsText(adapter.ids, texts),
                          OrUnknown(other->name, texts), IdsText(other->ids, texts)});
}

}  // namespace

std::wstring DiagnosisLine(const CheckState& state, Diagnosis diagnosis, Language language) {
    const DiagnosisTexts& texts = TextsOf(language);
    const wchar_t* pattern = texts.sentences[static_cast<std::size_t>(diagnosis)];
    const GraphicsSide& graphics = state.circumstances.graphics;
    switch (diagnosis) {
    case Diagnosis::NoGraphicsDriver: return NoDriverLine(graphics, texts);
    case Diagnosis::VirtualMachine:
        return Fill(pattern, {OrUnknown(graphics.adapter.description, texts)});
    case Diagnosis::CardStopped: {
        const VideoController* stopped = StoppedController(graphics);
        return stopped ? StoppedLine(*stopped, language) : std::wstring();
    }
    case Diagnosis::AnotherGpu: return AnotherGpuLine(graphics, texts, pattern);
    case Diagnosis::Stall:
        return Fill(pattern, {Fixed(state.frameFailure.slowestSeconds, secondsDecimals),
                              Fixed(state.frameFailure.slowestMilliseconds, wholeDecimals)});
    case Diagnosis::FrameRateCap:
        return Fill(pattern, {Shortest(CappedFrameRate(
                                 state.fpsMovingAverage,
                                 static_cast<float>(graphics.adapter.refreshRate)))});
    case Diagnosis::BusyWhileTimed:
        return Fill(pattern,
                    {std::to_wstring(OthersPercent(state.frameFailure.othersDuringBatches))});
    case Diagnosis::BusyProcessor:
        return Fill(pattern, {std::to_wstring(OthersPercent(state.circumstances.duringWorkloads))});
    case Diagnosis::OldWindows:
        return Fill(pattern, {ReleaseText(RecordOf(state, Rule::OsVersion).figure, language)});
    case Diagnosis::LittleMemory: return Fill(pattern, {RuleBarText(Rule::Memory)});
    case Diagnosis::SlowProcessor:
        return Fill(pattern, {RuleBarText(Rule::Clock),
                              RuleFigureText(Rule::Clock, RecordOf(state, Rule::Clock).figure,
                                             language)});
    default: return pattern;
    }
}
