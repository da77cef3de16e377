#include "skin/app_state.h"

std::atomic<bool> ScanAtStartup{false};
std::atomic<bool> ScanDialogOpen{false};
std::atomic<CSkinDialog*> g_pSummary{nullptr};
std::string SkinPath;
CSubMainSkin* LastSubScreen = nullptr;
