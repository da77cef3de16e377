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
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // The slot for an out parameter; whatever was held is released first.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    IUnknown** PutUnknown() { return reinterpret_cast<IUnknown**>(Put()); }

    void Reset() {
        if (p_ != nullptr) {
            p_->Release();
            p_ = nullptr;
        }
    }

private:
    T* p_ = nullptr;
};

// CoInitialize for the life of the scope. CoUninitialize only balances a call that succeeded (S_OK or
// S_FALSE); a thread already in the multithreaded apartment keeps its COM as it was.
class ComScope {
public:
    ComScope() : hr_(CoInitialize(nullptr)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr_)) {
            CoUninitialize();
        }
    }
    bool Initialized() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

// OleInitialize for the life of the scope (windows that host controls or use the clipboard), balanced
// only when it succeeded.
class OleScope {
public:
    OleScope() : hr_(OleInitialize(nullptr)) {}
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    ~OleScope() {
        if (SUCCEEDED(hr_)) {
            OleUninitialize();
        }
    }
    bool Initialized() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

// A CoTaskMemAlloc'ed wide string handed out by a COM call.
class CoTaskString {
public:
    CoTaskString() = default;
    CoTaskString(const CoTaskString&) = delete;
    CoTaskString& operator=(const CoTaskString&) = delete;
    ~CoTaskString() { CoTaskMemFree(p_); }
    LPWSTR* Put() {
        CoTaskMemFree(p_);
        p_ = nullptr;
        return &p_;
    }
    const wchar_t* Get() const { return p_ != nullptr ? p_ : L""; }

private:
    LPWSTR p_ = nullptr;
};

} // namespace base
