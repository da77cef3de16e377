#pragma once
// Owning pointers to COM interfaces and COM memory, and the COM (or OLE) library for the life of a scope.
#include <ole2.h>

#include <utility>

namespace base {

template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // The slot for an out parameter; whatever was held is released first.
    T** Put() {
        Reset();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    IUnknown** PutUnknown() { return reinterpret_cast<IUnknown**>(Put()); }

    void Reset() {
        if (m_p != nullptr) {
            m_p->Release();
            m_p = nullptr;
        }
    }

private:
    T* m_p = nullptr;
};

// CoInitialize for the life of the scope. CoUninitialize only balances a call that succeeded (S_OK or
// S_FALSE); a thread already in the multithreaded apartment keeps its COM as it was.
class ComScope {
public:
    ComScope() : m_hr(CoInitialize(nullptr)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(m_hr)) {
            CoUninitialize();
        }
    }
    bool Initialized() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

// OLE (windows that host controls), joined by Initialize once the owner is ready for it and left when the
// scope ends, only when joining succeeded.
class OleScope {
public:
    OleScope() = default;
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    ~OleScope() {
        if (m_initialized) {
            OleUninitialize();
        }
    }
    // True once OLE is joined; a second call changes nothing.
    bool Initialize() {
        if (!m_initialized) {
            m_initialized = SUCCEEDED(OleInitialize(nullptr));
        }
        return m_initialized;
    }

private:
    bool m_initialized = false;
};

// A CoTaskMemAlloc'ed wide string handed out by a COM call.
class CoTaskString {
public:
    CoTaskString() = default;
    CoTaskString(const CoTaskString&) = delete;
    CoTaskString& operator=(const CoTaskString&) = delete;
    ~CoTaskString() { CoTaskMemFree(m_p); }
    LPWSTR* Put() {
        CoTaskMemFree(m_p);
        m_p = nullptr;
        return &m_p;
    }
    const wchar_t* Get() const { return m_p != nullptr ? m_p : L""; }

private:
    LPWSTR m_p = nullptr;
};

} // namespace base
