#pragma once
// A user-interface thread: its own message loop, and an object that lives exactly as long as the thread.
// Start hands the object to the new thread; the thread runs InitInstance, then its message loop until the
// main window is destroyed (or WM_QUIT), then ExitInstance, and deletes the object on its way out.
#include <windows.h>

#include <memory>

#include "base/unique_handle.h"

namespace winui {

class UiThread {
public:
    UiThread() = default;
    virtual ~UiThread() = default;
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    // Starts the thread and gives it the object. Returns the caller's own handle of the thread, to wait on
    // (it stays valid after the thread and its object are gone), or an empty handle when no thread started;
    // the object is then deleted at once.
    static base::KernelHandle Start(std::unique_ptr<UiThread> thread);

    // The UiThread object of the calling thread, or null on a thread not started by Start.
    static UiThread* Current();

    // When `window` is the main window of the calling thread's UiThread, ends that thread's message loop.
    // The window layer calls this for every bound window at WM_NCDESTROY.
    static void WindowDestroyed(HWND window);

    // The window whose destruction ends the thread's loop: a window of this layer (bound to an object),
    // created on this thread.
    void SetMainWindow(HWND window) { mainWindow_ = window; }
    HWND MainWindow() const { return mainWindow_; }

protected:
    // Runs first on the new thread. Returning false ends the thread without a message loop.
    virtual bool InitInstance() = 0;
    // Runs last on the thread, after the loop; the result is the thread's exit code.
    virtual int ExitInstance(int loopResult) { return loopResult; }

private:
    static unsigned __stdcall ThreadMain(void* param);

    HWND mainWindow_ = nullptr;
};

} // namespace winui
