#include "scan_dialog/thread_summary.h"

#include <ole2.h>

#include <memory>

CThreadSummary::OleScope::~OleScope() {
    if (m_bInitialized) {
        OleUninitialize();
    }
}

void CThreadSummary::OleScope::Initialize() {
    if (!m_bInitialized) {
        m_bInitialized = SUCCEEDED(OleInitialize(nullptr));
    }
}

CThreadSummary::CThreadSummary(HWND parent, const ScanDialogOptions& options)
    : m_hParent(parent), m_dialog(options) {}

CThreadSummary::~CThreadSummary() = default;

bool CThreadSummary::InitInstance() {
    m_ole.Initialize();
    if (!m_dialog.IsWindow()) {
        m_dialog.SetParentWindow(m_hParent);
        if (!m_dialog.LoadSkin(m_strSkinPath)) {
            // No window would ever end the thread's loop; the dialog clears ScanDialogOpen as it goes.
            return false;
        }
        SetMainWindow(m_dialog.Hwnd());
    }
    m_dialog.Show(SW_SHOW);
    return true;
}

base::KernelHandle StartScanDialog(HWND panel, const std::string& skinPath,
                                   const ScanDialogOptions& options) {
    auto thread = std::make_unique<CThreadSummary>(panel, options);
    thread->SetSkinPath(skinPath);
    return winui::UiThread::Start(std::move(thread));
}
