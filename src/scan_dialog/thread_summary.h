#pragma once
// CThreadSummary: the user-interface thread of one scan dialog. The dialog lives inside the thread object
// and the thread object deletes itself when the thread ends, which it does once the dialog's window is
// gone (or at once, when the skin yields no first screen).
#include <windows.h>

#include <string>

#include "scan_dialog/summary.h"
#include "winui/ui_thread.h"
#include "base/unique_handle.h"

class CThreadSummary : public winui::UiThread {
public:
    // `parent`: the page that starts the scan; the dialog only remembers it.
    explicit CThreadSummary(HWND parent = nullptr, const ScanDialogOptions& options = {});
    ~CThreadSummary() override;

    void SetSkinPath(const std::string& path) { m_strSkinPath = path; }
    const std::string& SkinPath() const { return m_strSkinPath; }
    Summary& Dialog() { return m_dialog; }

protected:
    // On the new thread: joins OLE (the animation is an ActiveX control), builds the first screen, starts
    // the scan and shows the dialog. False, ending the thread, when the skin yields no screen.
    bool InitInstance() override;

private:
    // OLE for the thread's life; declared before the dialog so that it ends after the dialog is gone.
    class OleScope {
    public:
        OleScope() = default;
        ~OleScope();
        OleScope(const OleScope&) = delete;
        OleScope& operator=(const OleScope&) = delete;
        void Initialize();

    private:
        bool m_bInitialized = false;
    };

    std::string m_strSkinPath;
    HWND m_hParent;
    OleScope m_ole;
    Summary m_dialog;
};

// Starts a scan dialog for `panel` on a thread of its own, reading `skinPath`. Returns the thread's
// handle for the caller to wait on, or an empty handle when no thread started.
base::KernelHandle StartScanDialog(HWND panel, const std::string& skinPath,
                                   const ScanDialogOptions& options = {});
