#include "scan_dialog_harness.h"

#include <gdiplus.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <fstream>
#include <stdexcept>

#include "engine/scan_events.h"
#include "scan_dialog/thread_summary.h"
#include "skin/app_state.h"
#include "support/test_paths.h"
#include "winui/ui_thread.h"

namespace dialogtest {

using testsupport::MemoryRegistry;

// --- GatedRegistry ---

GatedRegistry::GatedRegistry(MemoryRegistry& inner)
    : m_inner(inner), m_held(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_open(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

void GatedRegistry::Close(Gate gate, int skip) {
    ResetEvent(m_held.Get());
    ResetEvent(m_open.Get());
    m_gate = gate;
    m_skip = skip;
}

bool GatedRegistry::WaitUntilHeld(DWORD timeoutMs) const {
    return WaitForSingleObject(m_held.Get(), timeoutMs) == WAIT_OBJECT_0;
}

void GatedRegistry::Open() {
    SetEvent(m_open.Get());
}

void GatedRegistry::Pass(Gate at) {
    if (m_throwAt == at) {
        m_throwAt = Gate::None;
        throw std::runtime_error("registry failure");
    }
    if (m_gate != at || WaitForSingleObject(m_held.Get(), 0) == WAIT_OBJECT_0) {
        return; // only one call at the gate waits
    }
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    SetEvent(m_held.Get());
    // Until the test opens the gate or the run is asked to stop (here or by another process).
    for (int waited = 0; waited < 30000 && !StopRequested(); waited += 10) {
        if (WaitForSingleObject(m_open.Get(), 10) == WAIT_OBJECT_0) {
            break;
        }
    }
}

LONG GatedRegistry::OpenKey(HKEY key, const char* subKey, HKEY* result) {
    return m_inner.OpenKey(key, subKey, result);
}
LONG GatedRegistry::OpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM sam, HKEY* result) {
    return m_inner.OpenKeyEx(key, subKey, options, sam, result);
}
LONG GatedRegistry::CreateKey(HKEY key, const char* subKey, HKEY* result) {
    return m_inner.CreateKey(key, subKey, result);
}
LONG GatedRegistry::QueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                                 DWORD* maxValueNameLen, DWORD* maxValueLen) {
    return m_inner.QueryInfoKey(key, subKeys, maxSubKeyLen, values, maxValueNameLen, maxValueLen);
}
LONG GatedRegistry::EnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameLen) {
    Pass(Gate::Scan);
    return m_inner.EnumKeyEx(key, index, name, nameLen);
}
LONG GatedRegistry::EnumValue(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, BYTE* data,
                              DWORD* dataLen) {
    return m_inner.EnumValue(key, index, name, nameLen, type, data, dataLen);
}
LONG GatedRegistry::QueryValueEx(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* dataLen) {
    return m_inner.QueryValueEx(key, name, type, data, dataLen);
}
LONG GatedRegistry::SetValueEx(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    return m_inner.SetValueEx(key, name, type, data, size);
}
LONG GatedRegistry::DeleteKey(HKEY key, const char* subKey) {
    Pass(Gate::Fix);
    return m_inner.DeleteKey(key, subKey);
}
LONG GatedRegistry::DeleteValue(HKEY key, const char* name) {
    Pass(Gate::Fix);
    return m_inner.DeleteValue(key, name);
}
LONG GatedRegistry::CloseKey(HKEY key) {
    return m_inner.CloseKey(key);
}

// --- registry and file contents ---

namespace {

constexpr char kClsidRoot[] = "HKEY_CLASSES_ROOT\\CLSID";
constexpr char kHelpKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help";
constexpr char kToolsKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools";
constexpr char kSharedKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kFontsKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

} // namespace

void SeedEmptyFamilies(MemoryRegistry& registry) {
    for (const char* key : {kClsidRoot, kHelpKey, kToolsKey, kSharedKey, kFontsKey}) {
        registry.AddKey(key);
    }
}

int SeedFindings(MemoryRegistry& registry, const std::string& missing) {
    SeedEmptyFamilies(registry);
    registry.SetString(std::string(kClsidRoot) + "\\{0D1A1A1A-0000-0000-0000-000000000001}\\InprocServer32",
                       "", missing);
    registry.SetString(std::string(kClsidRoot) + "\\{0D1A1A1A-0000-0000-0000-000000000002}\\InprocServer32",
                       "", missing);
    registry.SetString(kHelpKey, "orvalin-missing.hlp", missing.substr(0, missing.rfind('\\') + 1));
    registry.SetString(std::string(kToolsKey) + "\\OrvalinTool", "Path", missing);
    registry.SetDword(kSharedKey, missing, 1);
    registry.SetString(kFontsKey, "Orvalin Missing (TrueType)", "orvalin-missing.ttf");
    return 6;
}

void WriteSkinWithButton(const std::string& skinPath, const std::string& section, const std::string& record) {
    char keys[4096] = {};
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), nullptr, "", keys, sizeof keys, skinPath.c_str());
    int count = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (keys[i] == '\0') {
            ++count;
        }
    }
    WritePrivateProfileStringA(section.c_str(), std::to_string(count + 1).c_str(), record.c_str(),
                               skinPath.c_str());
}

void SaveBrokenShortcut(const std::string& linkPath, const std::string& targetFolder) {
    const std::string target = targetFolder + "\\gone.exe";
    std::ofstream(target, std::ios::binary) << "MZ";
    IShellLinkA* link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    EXPECT_EQ(file->Save(wide, TRUE), S_OK);
    file->Release();
    link->Release();
    DeleteFileA(target.c_str());
}

// --- DialogRun ---

DialogRun::DialogRun(const ScanDialogOptions& options, const std::string& skinPath, HWND parent) {
    auto thread = std::make_unique<CThreadSummary>(parent, options);
    thread->SetSkinPath(skinPath);
    m_dialog = &thread->Dialog();
    ScanDialogOpen = true; // as the page does before it starts the thread
    m_thread = winui::UiThread::Start(std::move(thread));
}

DialogRun::DialogRun(Summary& dialog, HANDLE thread) : m_dialog(&dialog) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
    m_thread.Reset(copy);
}

DialogRun::~DialogRun() {
    if (m_thread && !Ended()) {
        if (m_window) {
            SendMessageTimeoutA(m_window, WM_COMMAND, IDCANCEL, 0, SMTO_BLOCK, 20000, nullptr);
        }
        WaitForSingleObject(m_thread.Get(), 20000);
    }
}

bool DialogRun::Ended(DWORD timeoutMs) const {
    return !m_thread || WaitForSingleObject(m_thread.Get(), timeoutMs) == WAIT_OBJECT_0;
}

bool DialogRun::WaitForScreen(ScanScreen screen, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!Ended()) {
        if (m_dialog->Screen() == screen && m_dialog->IsWindow()) {
            m_window = m_dialog->Hwnd();
            Sync();
            if (!Ended() && m_dialog->Screen() == screen) {
                return true;
            }
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(10);
    }
    return false;
}

void DialogRun::Sync() const {
    if (m_window) {
        SendMessageTimeoutA(m_window, WM_NULL, 0, 0, SMTO_BLOCK, 20000, nullptr);
    }
}

bool DialogRun::Click(const std::string& name) {
    if (Ended() || !m_window) {
        return false;
    }
    Sync();
    const CSkinButton* button = m_dialog->FindButton(name);
    if (!button || !button->IsWindow()) {
        return false;
    }
    const HWND window = button->Hwnd();
    RECT client{};
    GetClientRect(window, &client);
    const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    SendMessageA(window, WM_LBUTTONUP, 0, centre);
    return true;
}

std::vector<std::vector<std::string>> DialogRun::ListRows() const {
    Sync();
    std::vector<std::vector<std::string>> rows;
    const winui::ReportView& list = m_dialog->ResultsList();
    if (!list.IsWindow()) {
        return rows;
    }
    const int columns = list.ColumnCount();
    for (int row = 0; row < list.ItemCount(); ++row) {
        std::vector<std::string> texts;
        for (int column = 0; column < columns; ++column) {
            texts.push_back(list.ItemText(row, column));
        }
        rows.push_back(std::move(texts));
    }
    return rows;
}

// --- pictures ---

bool SaveWindowPicture(HWND window, const std::string& path) {
    using namespace Gdiplus;
    RECT rect{};
    if (!GetWindowRect(window, &rect)) {
        return false;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    ULONG_PTR token = 0;
    GdiplusStartupInput input;
    bool saved = false;
    if (GdiplusStartup(&token, &input, nullptr) == Ok) {
        GpBitmap* picture = nullptr;
        if (DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &picture) == Ok) {
            // The PNG encoder's class id.
            const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
            wchar_t wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            saved = DllExports::GdipSaveImageToFile(picture, wide, &png, nullptr) == Ok;
            DllExports::GdipDisposeImage(picture);
        }
        GdiplusShutdown(token);
    }
    DeleteObject(bitmap);
    return saved;
}

// --- fixture ---

void ScanDialogTest::SetUp() {
    ScanDialogOpen = false;
    g_pSummary = nullptr;
    BeginRun();
    ResetEvent(AbortEvent());
    folder = testsupport::MakeTempFolder("scandialog");
    const std::string skinFolder = folder + "\\skin";
    CreateDirectoryA(skinFolder.c_str(), nullptr);
    const std::string source = testsupport::SourcePath("skin");
    WIN32_FIND_DATAA entry{};
    const HANDLE find = FindFirstFileA((source + "\\*").c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            CopyFileA((source + "\\" + entry.cFileName).c_str(),
                      (skinFolder + "\\" + entry.cFileName).c_str(), FALSE);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    skinPath = skinFolder + "\\Skin.ini";
    missing = folder + "\\OrvalinTest_missing.dll";

    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    m_previousDirectory = previous;
    SetCurrentDirectoryA(folder.c_str());
}

void ScanDialogTest::TearDown() {
    SetCurrentDirectoryA(m_previousDirectory.c_str());
    BeginRun();
    ScanDialogOpen = false;
}

ScanDialogOptions ScanDialogTest::Options(engine::RegistryApi& registry, const std::string& drives) {
    ScanDialogOptions options;
    options.registry = &registry;
    options.boxes = &boxes;
    options.fixPauseMs = 0;
    options.shortcutDrives = drives;
    return options;
}

} // namespace dialogtest
