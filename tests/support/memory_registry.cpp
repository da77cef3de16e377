#include "support/memory_registry.h"

#include <string.h>
#include <algorithm>
#include <cstring>

namespace testsupport {

struct MemoryRegistry::Node {
    std::string name;
    std::string path; // full path with the root name
    Node* parent = nullptr;
    bool deleted = false;
    std::vector<std::shared_ptr<Node>> children; // sorted without regard to case, like the real registry
    std::vector<Value> values;                   // in the order they were first set
};

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

std::vector<std::string> SplitPath(const char* subKey) {
    std::vector<std::string> parts;
    if (subKey == nullptr) {
        return parts;
    }
    std::string part;
    for (const char* p = subKey;; ++p) {
        if (*p == '\\' || *p == '\0') {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
            if (*p == '\0') {
                break;
            }
        } else {
            part += *p;
        }
    }
    return parts;
}

constexpr REGSAM kAllAccess = KEY_ALL_ACCESS | MAXIMUM_ALLOWED;

constexpr char kClassesRoot[] = "HKEY_CLASSES_ROOT";
constexpr char kUserClasses[] = "HKEY_CURRENT_USER\\Software\\Classes";
constexpr char kMachineClasses[] = "HKEY_LOCAL_MACHINE\\Software\\Classes";

// "\\a\\b" from the parts of a subkey path; "" for none.
std::string JoinParts(const char* subKey) {
    std::string joined;
    for (const auto& part : SplitPath(subKey)) {
        joined += "\\" + part;
    }
    return joined;
}

// True when a full path names HKEY_CLASSES_ROOT or a key below it; `below` is then the rest ("\\CLSID...").
bool BelowClassesRoot(const std::string& path, std::string& below) {
    const auto slash = path.find('\\');
    if (!SameName(path.substr(0, slash), kClassesRoot)) {
        return false;
    }
    below = slash == std::string::npos ? std::string() : JoinParts(path.c_str() + slash + 1);
    return true;
}

// The 32-bit view keeps its own copy of the classes' CLSID key: "CLSID\\..." below a classes root is read
// from "Wow6432Node\\CLSID\\...". Only opens from a root are redirected; that is all the engine does.
std::string ThirtyTwoBitSubKey(HKEY root, const char* subKey) {
    const std::string text = subKey == nullptr ? std::string() : std::string(subKey);
    const std::string classesPrefix = "Software\\Classes\\";
    size_t at = std::string::npos;
    if (root == HKEY_CLASSES_ROOT) {
        at = 0;
    } else if ((root == HKEY_LOCAL_MACHINE || root == HKEY_CURRENT_USER) &&
               _strnicmp(text.c_str(), classesPrefix.c_str(), classesPrefix.size()) == 0) {
        at = classesPrefix.size();
    }
    if (at == std::string::npos || _strnicmp(text.c_str() + at, "CLSID", 5) != 0 ||
        (text[at + 5] != '\\' && text[at + 5] != '\0')) {
        return text;
    }
    return text.substr(0, at) + "Wow6432Node\\" + text.substr(at);
}

bool Allows(REGSAM access, REGSAM needed) {
    return (access & MAXIMUM_ALLOWED) != 0 || (access & needed) == needed;
}

MemoryRegistry::Value* FindValue(std::vector<MemoryRegistry::Value>& values, const char* name) {
    const std::string wanted = name == nullptr ? std::string() : std::string(name);
    for (auto& v : values) {
        if (SameName(v.name, wanted)) {
            return &v;
        }
    }
    return nullptr;
}

} // namespace

MemoryRegistry::MemoryRegistry() {
    const std::pair<HKEY, const char*> roots[] = {
        {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},     {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},   {HKEY_USERS, "HKEY_USERS"},
        {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"}, {HKEY_DYN_DATA, "HKEY_DYN_DATA"}};
    for (const auto& [handle, name] : roots) {
        auto node = std::make_shared<Node>();
        node->name = name;
        node->path = name;
        m_roots[handle] = Handle{node, kAllAccess, false, std::string()};
    }
}

MemoryRegistry::~MemoryRegistry() = default;

void MemoryRegistry::SetMergedClasses(bool merged) {
    m_merged = merged;
    if (merged) {
        MakePath(kUserClasses);
        m_mergedRoot = Handle{MakePath(kMachineClasses), kAllAccess, true, std::string()};
    }
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::UserClass(const std::string& classPath) const {
    return Find(FindPath(kUserClasses), classPath.c_str());
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::MachineClass(const std::string& classPath) const {
    return Find(FindPath(kMachineClasses), classPath.c_str());
}

std::vector<std::string> MemoryRegistry::ChildNames(const Handle& handle) const {
    std::vector<std::string> names;
    if (!handle.merged) {
        for (const auto& child : handle.node->children) {
            names.push_back(child->name);
        }
        return names;
    }
    for (const auto& hive : {UserClass(handle.classPath), MachineClass(handle.classPath)}) {
        if (!hive) {
            continue;
        }
        for (const auto& child : hive->children) {
            if (std::none_of(names.begin(), names.end(),
                             [&](const auto& n) { return SameName(n, child->name); })) {
                names.push_back(child->name);
            }
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) < 0; });
    return names;
}

const MemoryRegistry::Handle* MemoryRegistry::Resolve(HKEY key) const {
    if (m_merged && key == HKEY_CLASSES_ROOT) {
        return &m_mergedRoot;
    }
    if (const auto root = m_roots.find(key); root != m_roots.end()) {
        return &root->second;
    }
    if (const auto open = m_handles.find(key); open != m_handles.end()) {
        return &open->second;
    }
    return nullptr;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Find(const std::shared_ptr<Node>& from,
                                                           const char* subKey) const {
    std::shared_ptr<Node> node = from;
    if (!node) {
        return nullptr;
    }
    for (const auto& part : SplitPath(subKey)) {
        const auto it = std::find_if(node->children.begin(), node->children.end(),
                                     [&](const auto& child) { return SameName(child->name, part); });
        if (it == node->children.end()) {
            return nullptr;
        }
        node = *it;
    }
    return node;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::FindPath(const std::string& path) const {
    if (std::string below; m_merged && BelowClassesRoot(path, below)) {
        const auto user = UserClass(below);
        return user ? user : MachineClass(below);
    }
    const auto slash = path.find('\\');
    const std::string rootName = path.substr(0, slash);
    for (const auto& [handle, root] : m_roots) {
        if (SameName(root.node->name, rootName)) {
            return Find(root.node, slash == std::string::npos ? "" : path.c_str() + slash + 1);
        }
    }
    return nullptr;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::MakePath(const std::string& path) {
    if (std::string below; m_merged && BelowClassesRoot(path, below)) {
        const auto user = UserClass(below);
        return user ? user : MakePath(kMachineClasses + below);
    }
    const auto slash = path.find('\\');
    const std::string rootName = path.substr(0, slash);
    std::shared_ptr<Node> node;
    for (const auto& [handle, root] : m_roots) {
        if (SameName(root.node->name, rootName)) {
            node = root.node;
        }
    }
    if (!node) {
        return nullptr;
    }
    for (const auto& part : SplitPath(slash == std::string::npos ? "" : path.c_str() + slash + 1)) {
        auto it = std::find_if(node->children.begin(), node->children.end(),
                               [&](const auto& child) { return SameName(child->name, part); });
        if (it == node->children.end()) {
            auto child = std::make_shared<Node>();
            child->name = part;
            child->path = node->path + "\\" + part;
            child->parent = node.get();
            it = std::lower_bound(
                node->children.begin(), node->children.end(), part,
                [](const auto& c, const std::string& n) { return _stricmp(c->name.c_str(), n.c_str()) < 0; });
            it = node->children.insert(it, std::move(child));
        }
        node = *it;
    }
    return node;
}

void MemoryRegistry::AddKey(const std::string& path) {
    MakePath(path);
}

void MemoryRegistry::SetValue(const std::string& path, const std::string& name, DWORD type,
                              std::vector<BYTE> data) {
    const auto node = MakePath(path);
    if (!node) {
        return;
    }
    if (Value* existing = FindValue(node->values, name.c_str())) {
        existing->type = type;
        existing->data = std::move(data);
    } else {
        node->values.push_back(Value{name, type, std::move(data)});
    }
}

void MemoryRegistry::SetString(const std::string& path, const std::string& name, const std::string& text,
                               DWORD type) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(path, name, type, std::move(data));
}

void MemoryRegistry::SetDword(const std::string& path, const std::string& name, DWORD value) {
    std::vector<BYTE> data(4);
    std::memcpy(data.data(), &value, 4);
    SetValue(path, name, REG_DWORD, std::move(data));
}

bool MemoryRegistry::KeyExists(const std::string& path) const {
    return FindPath(path) != nullptr;
}

std::optional<MemoryRegistry::Value> MemoryRegistry::GetValue(const std::string& path,
                                                              const std::string& name) const {
    const auto node = FindPath(path);
    if (!node) {
        return std::nullopt;
    }
    if (Value* v = FindValue(node->values, name.c_str())) {
        return *v;
    }
    return std::nullopt;
}

std::vector<std::string> MemoryRegistry::SubKeyNames(const std::string& path) const {
    std::vector<std::string> names;
    if (const auto node = FindPath(path)) {
        for (const auto& child : node->children) {
            names.push_back(child->name);
        }
    }
    return names;
}

std::vector<MemoryRegistry::Value> MemoryRegistry::Values(const std::string& path) const {
    const auto node = FindPath(path);
    return node ? node->values : std::vector<Value>();
}

void MemoryRegistry::FailNext(Op op, LONG code, const std::string& path) {
    m_failures.push_back(Failure{op, code, path, true});
}

void MemoryRegistry::FailEvery(Op op, LONG code, const std::string& path) {
    m_failures.push_back(Failure{op, code, path, false});
}

LONG MemoryRegistry::Injected(Op op, const std::string& path) {
    ++m_calls[static_cast<size_t>(op)];
    for (auto it = m_failures.begin(); it != m_failures.end(); ++it) {
        if (it->op == op && (it->path.empty() || SameName(it->path, path))) {
            const LONG code = it->code;
            if (it->once) {
                m_failures.erase(it);
            }
            return code;
        }
    }
    return ERROR_SUCCESS;
}

HKEY MemoryRegistry::NewHandle(std::shared_ptr<Node> node, REGSAM access) {
    const HKEY handle = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(m_nextHandle));
    m_nextHandle += 4;
    m_handles[handle] = Handle{std::move(node), access, false, std::string()};
    return handle;
}

// The path a call on (key, subKey) is about, for failure matching: the handle's key and the subkey below it.
static std::string TargetPath(const std::string& base, const char* subKey) {
    std::string path = base;
    for (const auto& part : SplitPath(subKey)) {
        path += "\\" + part;
    }
    return path;
}

LONG MemoryRegistry::Open(Op op, HKEY key, const char* subKey, REGSAM access, bool sameHandleForEmpty,
                          HKEY* result) {
    const Handle* parent = Resolve(key);
    const LONG injected = Injected(op, parent ? TargetPath(parent->node->path, subKey) : std::string());
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    if (injected != ERROR_SUCCESS) {
        return injected;
    }
    if (parent == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (parent->node->deleted) {
        return ERROR_KEY_DELETED;
    }
    if (parent->merged) {
        return OpenMerged(op, key, *parent, subKey, access, sameHandleForEmpty, result);
    }
    if (SplitPath(subKey).empty() && sameHandleForEmpty) {
        *result = key; // RegOpenKeyA/RegCreateKeyA give back the very handle they were passed
        return ERROR_SUCCESS;
    }
    std::shared_ptr<Node> node;
    if (op == Op::CreateKey) {
        if (!Allows(parent->access, KEY_CREATE_SUB_KEY)) {
            return ERROR_ACCESS_DENIED;
        }
        node = MakePath(TargetPath(parent->node->path, subKey));
    } else {
        node = Find(parent->node, subKey);
    }
    if (!node) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = NewHandle(std::move(node), access);
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::OpenMerged(Op op, HKEY key, const Handle& parent, const char* subKey, REGSAM access,
                                bool sameHandleForEmpty, HKEY* result) {
    if (SplitPath(subKey).empty() && sameHandleForEmpty) {
        *result = key;
        return ERROR_SUCCESS;
    }
    const std::string below = parent.classPath + JoinParts(subKey);
    std::shared_ptr<Node> node = UserClass(below);
    if (!node) {
        node = MachineClass(below);
    }
    if (!node && op == Op::CreateKey) {
        if (!Allows(parent.access, KEY_CREATE_SUB_KEY)) {
            return ERROR_ACCESS_DENIED;
        }
        node = MakePath(kMachineClasses + below); // new keys go to the machine's hive
    }
    if (!node) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = NewHandle(std::move(node), access);
    Handle& opened = m_handles[*result];
    opened.merged = true;
    opened.classPath = below;
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::OpenKey(HKEY key, const char* subKey, HKEY* result) {
    return Open(Op::OpenKey, key, subKey, kAllAccess, true, result);
}

LONG MemoryRegistry::OpenKeyEx(HKEY key, const char* subKey, DWORD, REGSAM sam, HKEY* result) {
    const std::string viewed = (sam & KEY_WOW64_32KEY) != 0 && m_merged ? ThirtyTwoBitSubKey(key, subKey)
                                                                        : std::string(subKey ? subKey : "");
    return Open(Op::OpenKeyEx, key, subKey == nullptr ? nullptr : viewed.c_str(),
                sam & ~static_cast<REGSAM>(KEY_WOW64_32KEY | KEY_WOW64_64KEY), false, result);
}

LONG MemoryRegistry::CreateKey(HKEY key, const char* subKey, HKEY* result) {
    return Open(Op::CreateKey, key, subKey, kAllAccess, true, result);
}

LONG MemoryRegistry::Usable(Op op, HKEY key, REGSAM needed, const Handle*& handle) {
    const Handle* h = Resolve(key);
    if (const LONG injected = Injected(op, h ? h->node->path : std::string())) {
        return injected;
    }
    if (h == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (h->node->deleted) {
        return ERROR_KEY_DELETED;
    }
    if (!Allows(h->access, needed)) {
        return ERROR_ACCESS_DENIED;
    }
    handle = h;
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::QueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                                  DWORD* maxValueNameLen, DWORD* maxValueLen) {
    const Handle* h = nullptr;
    if (const LONG error = Usable(Op::QueryInfoKey, key, KEY_QUERY_VALUE, h)) {
        return error;
    }
    const std::vector<std::string> children = ChildNames(*h);
    DWORD longestKey = 0;
    for (const auto& child : children) {
        longestKey = std::max<DWORD>(longestKey, static_cast<DWORD>(child.size()));
    }
    DWORD longestName = 0;
    DWORD longestData = 0;
    for (const auto& v : h->node->values) {
        longestName = std::max<DWORD>(longestName, static_cast<DWORD>(v.name.size()));
        longestData = std::max<DWORD>(longestData, static_cast<DWORD>(v.data.size()));
    }
    if (subKeys) {
        *subKeys = static_cast<DWORD>(children.size());
    }
    if (maxSubKeyLen) {
        *maxSubKeyLen = longestKey;
    }
    if (values) {
        *values = static_cast<DWORD>(h->node->values.size());
    }
    if (maxValueNameLen) {
        *maxValueNameLen = longestName;
    }
    if (maxValueLen) {
        *maxValueLen = longestData;
    }
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::EnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameLen) {
    const Handle* h = nullptr;
    if (const LONG error = Usable(Op::EnumKeyEx, key, KEY_ENUMERATE_SUB_KEYS, h)) {
        return error;
    }
    if (name == nullptr || nameLen == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::vector<std::string> children = ChildNames(*h);
    if (index >= children.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const std::string& child = children[index];
    if (child.size() + 1 > *nameLen) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, child.c_str(), child.size() + 1);
    *nameLen = static_cast<DWORD>(child.size());
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::EnumValue(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, BYTE* data,
                               DWORD* dataLen) {
    const Handle* h = nullptr;
    if (const LONG error = Usable(Op::EnumValue, key, KEY_QUERY_VALUE, h)) {
        return error;
    }
    if (name == nullptr || nameLen == nullptr || (data != nullptr && dataLen == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (index >= h->node->values.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const Value& v = h->node->values[index];
    if (v.name.size() + 1 > *nameLen) {
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && v.data.size() > *dataLen) {
        *dataLen = static_cast<DWORD>(v.data.size());
        return ERROR_MORE_DATA; // like the real call: the name is not written either
    }
    std::memcpy(name, v.name.c_str(), v.name.size() + 1);
    *nameLen = static_cast<DWORD>(v.name.size());
    if (type) {
        *type = v.type;
    }
    if (data != nullptr && !v.data.empty()) {
        std::memcpy(data, v.data.data(), v.data.size());
    }
    if (dataLen) {
        *dataLen = static_cast<DWORD>(v.data.size());
    }
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::QueryValueEx(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* dataLen) {
    const Handle* h = nullptr;
    if (const LONG error = Usable(Op::QueryValueEx, key, KEY_QUERY_VALUE, h)) {
        return error;
    }
    const Value* v = FindValue(h->node->values, name);
    if (v == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type) {
        *type = v->type;
    }
    if (data != nullptr) {
        if (dataLen == nullptr) {
            return ERROR_INVALID_PARAMETER;
        }
        if (v->data.size() > *dataLen) {
            *dataLen = static_cast<DWORD>(v->data.size());
            return ERROR_MORE_DATA;
        }
        if (!v->data.empty()) {
            std::memcpy(data, v->data.data(), v->data.size());
        }
    }
    if (dataLen) {
        *dataLen = static_cast<DWORD>(v->data.size());
    }
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::SetValueEx(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    const Handle* h = nullptr;
    if (const LONG error = Usable(Op::SetValueEx, key, KEY_SET_VALUE, h)) {
        return error;
    }
    if (data == nullptr && size != 0) {
        return ERROR_NOACCESS;
    }
    std::vector<BYTE> bytes(data, data + size);
    if (Value* v = FindValue(h->node->values, name)) {
        v->type = type;
        v->data = std::move(bytes);
    } else {
        h->node->values.push_back(
            Value{name == nullptr ? std::string() : std::string(name), type, std::move(bytes)});
    }
    return ERROR_SUCCESS;
}

void MemoryRegistry::RemoveSubtree(Node& node) {
    for (const auto& child : node.children) {
        RemoveSubtree(*child);
    }
    node.children.clear();
    node.deleted = true;
    node.parent = nullptr;
    m_deletedKeys.push_back(node.path);
}

LONG MemoryRegistry::DeleteKey(HKEY key, const char* subKey) {
    const Handle* h = Resolve(key);
    if (const LONG injected =
            Injected(Op::DeleteKey, h ? TargetPath(h->node->path, subKey) : std::string())) {
        return injected;
    }
    if (h == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (h->node->deleted) {
        return ERROR_KEY_DELETED;
    }
    std::shared_ptr<Node> node;
    if (h->merged) { // the user's copy when there is one, as Windows deletes through the merged view
        const std::string below = h->classPath + JoinParts(subKey);
        node = UserClass(below);
        node = node ? node : MachineClass(below);
    } else {
        node = Find(h->node, subKey);
    }
    if (!node) {
        return ERROR_FILE_NOT_FOUND;
    }
    Node* parent = node->parent;
    if (parent == nullptr) {
        return ERROR_ACCESS_DENIED; // a root
    }
    if (!node->children.empty() && !m_win9xDelete) {
        return ERROR_ACCESS_DENIED;
    }
    RemoveSubtree(*node);
    std::erase_if(parent->children, [&](const auto& child) { return child == node; });
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::DeleteValue(HKEY key, const char* name) {
    const Handle* h = nullptr;
    if (const LONG error = Usable(Op::DeleteValue, key, KEY_SET_VALUE, h)) {
        return error;
    }
    auto& values = h->node->values;
    const Value* v = FindValue(values, name);
    if (v == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    values.erase(values.begin() + (v - values.data()));
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::CloseKey(HKEY key) {
    const Handle* h = Resolve(key);
    if (const LONG injected = Injected(Op::CloseKey, h ? h->node->path : std::string())) {
        return injected;
    }
    if (m_roots.count(key) != 0) {
        return ERROR_SUCCESS;
    }
    return m_handles.erase(key) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // namespace testsupport
