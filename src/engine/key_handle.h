#pragma once
// An open registry key that closes itself through the registry it came from.
#include "engine/registry_api.h"

#include <utility>

namespace engine {

// True for the predefined root handles (HKEY_CLASSES_ROOT ...), which are never closed here.
inline bool IsPredefinedKey(HKEY key) {
    const auto value = reinterpret_cast<ULONG_PTR>(key);
    return value >= reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT) &&
           value <= reinterpret_cast<ULONG_PTR>(HKEY_CURRENT_USER_LOCAL_SETTINGS);
}

class KeyHandle {
public:
    explicit KeyHandle(RegistryApi& registry, HKEY key = nullptr) : m_registry(&registry), m_key(key) {}
    ~KeyHandle() { Close(); }
    KeyHandle(KeyHandle&& other) noexcept
        : m_registry(other.m_registry), m_key(std::exchange(other.m_key, nullptr)) {}
    KeyHandle& operator=(KeyHandle&& other) noexcept {
        if (this != &other) {
            Close();
            m_registry = other.m_registry;
            m_key = std::exchange(other.m_key, nullptr);
        }
        return *this;
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;

    HKEY Get() const { return m_key; }
    explicit operator bool() const { return m_key != nullptr; }
    // For the out parameter of an open call; closes what was held first.
    HKEY* Receive() {
        Close();
        return &m_key;
    }
    void Close() {
        if (m_key != nullptr && !IsPredefinedKey(m_key)) {
            m_registry->CloseKey(m_key);
        }
        m_key = nullptr;
    }

private:
    RegistryApi* m_registry;
    HKEY m_key;
};

} // namespace engine
