#include "app/taskbar_win.h"

#include "platform/release_win.h"

#include <objbase.h>
#include <shobjidl.h>

namespace {

constexpr wchar_t buttonCreatedName[] = L"TaskbarButtonCreated";

ITaskbarList3* taskbar = nullptr;
// What the button shows; nothing before the first progress.
bool progressShown = false;
TaskbarProgress shownProgress{};

}  // namespace

UINT TaskbarButtonCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(buttonCreatedName);
    return message;
}

// The probe has entered this thread into COM; without COM the object is not
// made.
void OpenTaskbarButton() {
    CloseTaskbarButton();
    ITaskbarList3* made = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ITaskbarList3, reinterpret_cast<void**>(&made)))) {
        return;
    }
    if (FAILED(made->HrInit())) {
        made->Release();
        return;
    }
    taskbar = made;
}

void ShowTaskbarProgress(HWND window, const TaskbarProgress& progress) {
    if (!taskbar || (progressShown && progress == shownProgress)) return;
    taskbar->SetProgressState(window, progress.error ? TBPF_ERROR : TBPF_NORMAL);
    taskbar->SetProgressValue(window, progress.done, progress.total);
    shownProgress = progress;
    progressShown = true;
}

void CloseTaskbarButton() {
    ReleaseObject(taskbar);
    progressShown = false;
}
