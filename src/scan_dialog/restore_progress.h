#pragma once
// A small modal window that keeps the program's windows alive while a long piece of work (a restore) runs
// on a worker thread: it shows how far the work got and offers Cancel, which the work sees between two of
// its steps. The window closes itself when the work ends, never before.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "winui/dialog.h"

class WorkProgressDialog : public winui::Dialog {
public:
    // `work` runs on the worker thread; `status` gives the progress text and may be called from the window's
    // thread while the work runs.
    WorkProgressDialog(std::string title, std::function<void()> work, std::function<std::string()> status);
    ~WorkProgressDialog() override;

    // Runs the work with the window up (or on this thread when no thread can be started).
    void Run(HWND owner);
    bool CancelRequested() const { return m_cancel.load(); }

protected:
    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static DWORD WINAPI WorkThread(LPVOID self);
    void ShowStatus();

    std::function<void()> m_work;
    std::function<std::string()> m_status;
    std::atomic<bool> m_cancel{false};
    HANDLE m_thread = nullptr;
    HWND m_text = nullptr;
    HWND m_button = nullptr;
};
