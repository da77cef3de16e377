#include "winui/ui_thread.h"

#include <process.h>

#include "winui/message_loop.h"

namespace winui {
namespace {

thread_local UiThread* currentThread = nullptr;

} // namespace

base::KernelHandle UiThread::Start(std::unique_ptr<UiThread> thread) {
    if (!thread) {
        return {};
    }
    UiThread* raw = thread.release();
    unsigned id = 0;
    const auto handle =
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &UiThread::ThreadMain, raw, 0, &id));
    if (!handle) {
        delete raw; // the thread never started, so the object is still ours
        return {};
    }
    // The caller gets this handle; the thread itself never uses it, so it outlives the object safely.
    return base::KernelHandle(handle);
}

UiThread* UiThread::Current() {
    return currentThread;
}

void UiThread::WindowDestroyed(HWND window) {
    UiThread* thread = currentThread;
    if (thread && window && thread->mainWindow_ == window) {
        thread->mainWindow_ = nullptr;
        PostQuitMessage(0);
    }
}

unsigned __stdcall UiThread::ThreadMain(void* param) {
    std::unique_ptr<UiThread> self(static_cast<UiThread*>(param));
    currentThread = self.get();
    // Make the queue exist before anything else can post to this thread's windows.
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    int result = 0;
    if (self->InitInstance()) {
        result = RunMessageLoop();
    }
    result = self->ExitInstance(result);
    self.reset();
    currentThread = nullptr;
    return static_cast<unsigned>(result);
}

} // namespace winui
