#pragma once
// An in-memory registry for tests: keys with subkeys and typed values behind engine::RegistryApi, with
// the results the engine relies on (lengths without the NUL, ERROR_NO_MORE_ITEMS, ERROR_MORE_DATA,
// RegDeleteKeyA refusing keys with subkeys, RegOpenKeyA("") returning the same handle, access checks),
// and failure injection: "fail the next (or every) call of operation X, optionally on key P, with code C".
#include "engine/registry_api.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class MemoryRegistry final : public engine::RegistryApi {
public:
    enum class Op {
        OpenKey,
        OpenKeyEx,
        CreateKey,
        QueryInfoKey,
        EnumKeyEx,
        EnumValue,
        QueryValueEx,
        SetValueEx,
        DeleteKey,
        DeleteValue,
        CloseKey,
        Count
    };

    struct Value {
        std::string name;
        DWORD type = REG_SZ;
        std::vector<BYTE> data;
    };

    MemoryRegistry();
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    // --- content, by full key path ("HKEY_CLASSES_ROOT\CLSID\{...}", root names as the engine writes them)
    // ---
    void AddKey(const std::string& path); // with every missing parent
    void SetValue(const std::string& path, const std::string& name, DWORD type, std::vector<BYTE> data);
    void SetString(const std::string& path, const std::string& name, const std::string& text,
                   DWORD type = REG_SZ);
    void SetDword(const std::string& path, const std::string& name, DWORD value);
    bool KeyExists(const std::string& path) const;
    std::optional<Value> GetValue(const std::string& path, const std::string& name) const;
    std::vector<std::string> SubKeyNames(const std::string& path) const;
    std::vector<Value> Values(const std::string& path) const;

    // --- behaviour ---
    // RegDeleteKeyA removes a whole subtree, as on the Windows 9x family (default: refuses keys with
    // subkeys).
    void SetWin9xDelete(bool win9x) { m_win9xDelete = win9x; }
    // HKEY_CLASSES_ROOT becomes the merged view Windows gives of HKEY_CURRENT_USER\Software\Classes over
    // HKEY_LOCAL_MACHINE\Software\Classes: a key is opened (and its values read, written and deleted) in the
    // user's hive when it exists there, otherwise in the machine's; subkeys enumerate as the union of both;
    // a key created through HKEY_CLASSES_ROOT lands in the machine's hive. Content paths that name
    // HKEY_CLASSES_ROOT follow the same rule. OpenKeyEx with KEY_WOW64_32KEY from a root then reads the
    // classes' CLSID key from its Wow6432Node, as the 32-bit view does (the default view keeps a separate
    // HKEY_CLASSES_ROOT node, so older tests see it unchanged).
    void SetMergedClasses(bool merged);
    // Fails calls of `op` with `code`: the next matching call only, or every one. An empty path matches any
    // key; otherwise the key the call is about (the opened/created/deleted key, or the key of the handle)
    // must match.
    void FailNext(Op op, LONG code, const std::string& path = std::string());
    void FailEvery(Op op, LONG code, const std::string& path = std::string());
    void ClearFailures() { m_failures.clear(); }

    // --- observation ---
    int Calls(Op op) const { return m_calls[static_cast<size_t>(op)]; }
    int OpenHandles() const { return static_cast<int>(m_handles.size()); }
    // Full paths of the keys deleted so far, in deletion order (a subtree delete lists its deepest keys
    // first).
    const std::vector<std::string>& DeletedKeys() const { return m_deletedKeys; }

    // --- engine::RegistryApi ---
    LONG OpenKey(HKEY key, const char* subKey, HKEY* result) override;
    LONG OpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM sam, HKEY* result) override;
    LONG CreateKey(HKEY key, const char* subKey, HKEY* result) override;
    LONG QueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values, DWORD* maxValueNameLen,
                      DWORD* maxValueLen) override;
    LONG EnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameLen) override;
    LONG EnumValue(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, BYTE* data,
                   DWORD* dataLen) override;
    LONG QueryValueEx(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* dataLen) override;
    LONG SetValueEx(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG DeleteKey(HKEY key, const char* subKey) override;
    LONG DeleteValue(HKEY key, const char* name) override;
    LONG CloseKey(HKEY key) override;

private:
    struct Node;
    struct Handle {
        std::shared_ptr<Node> node; // for a merged-classes handle: the user's key when it exists
        REGSAM access = 0;
        bool merged = false;   // opened through the merged HKEY_CLASSES_ROOT
        std::string classPath; // then: the path below the classes root ("" or "\\CLSID\\{...}")
    };
    struct Failure {
        Op op;
        LONG code;
        std::string path;
        bool once;
    };

    // The node and access behind a handle (predefined roots included); null for unknown handles.
    const Handle* Resolve(HKEY key) const;
    std::shared_ptr<Node> Find(const std::shared_ptr<Node>& from, const char* subKey) const;
    std::shared_ptr<Node> FindPath(const std::string& path) const;
    std::shared_ptr<Node> MakePath(const std::string& path);
    HKEY NewHandle(std::shared_ptr<Node> node, REGSAM access);
    // Counts the call, then returns the injected code for it, or 0.
    LONG Injected(Op op, const std::string& path);
    // Counts the call; then the injected code, or the error a real key gives for an unknown or deleted handle
    // or one opened without the `needed` right. On success `handle` is the handle's entry.
    LONG Usable(Op op, HKEY key, REGSAM needed, const Handle*& handle);
    LONG Open(Op op, HKEY key, const char* subKey, REGSAM access, bool sameHandleForEmpty, HKEY* result);
    void RemoveSubtree(Node& node);
    // The user's and the machine's key of a merged path below the classes root.
    std::shared_ptr<Node> UserClass(const std::string& classPath) const;
    std::shared_ptr<Node> MachineClass(const std::string& classPath) const;
    // Subkey names of a handle's key, the union of both hives for a merged one.
    std::vector<std::string> ChildNames(const Handle& handle) const;
    LONG OpenMerged(Op op, HKEY key, const Handle& parent, const char* subKey, REGSAM access,
                    bool sameHandleForEmpty, HKEY* result);

    std::map<HKEY, Handle> m_roots;
    std::map<HKEY, Handle> m_handles;
    std::vector<Failure> m_failures;
    std::vector<std::string> m_deletedKeys;
    int m_calls[static_cast<size_t>(Op::Count)] = {};
    unsigned m_nextHandle = 0x1000;
    bool m_win9xDelete = false;
    bool m_merged = false;
    Handle m_mergedRoot;
};

} // namespace testsupport
