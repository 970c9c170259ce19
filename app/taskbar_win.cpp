#include "app/taskbar_win.h"

#include "platform/release_win.h"

#include <objbase.h>
#include <shobjidl.h>

namespace {

constexpr wchar_t buttonCreatedName[] = L"TaskbarButtonCreated";

// The taskbar's object and what the button shows (nothing before the first
// progress).
struct TaskbarButton {
    ITaskbarList3* taskbar = nullptr;
    bool progressShown = false;
    TaskbarProgress shownProgress{};
};
TaskbarButton button;

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
    button.taskbar = made;
}

void ShowTaskbarProgress(HWND window, const TaskbarProgress& progress) {
    if (!button.taskbar || (button.progressShown && progress == button.shownProgress)) return;
    button.taskbar->SetProgressState(window, progress.error ? TBPF_ERROR : TBPF_NORMAL);
    button.taskbar->SetProgressValue(window, progress.done, progress.total);
    button.shownProgress = progress;
    button.progressShown = true;
}

void CloseTaskbarButton() {
    ReleaseObject(button.taskbar);
    button.progressShown = false;
}
