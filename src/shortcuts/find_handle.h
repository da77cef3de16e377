#pragma once
// A directory enumeration handle (FindFirstFileA/W) that closes itself.
#include <windows.h>

#include <utility>

namespace shortcuts {

class FindHandle {
public:
    FindHandle() = default;
    explicit FindHandle(HANDLE handle) : m_handle(handle) {}
    ~FindHandle() { Close(); }
    FindHandle(FindHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
    FindHandle& operator=(FindHandle&& other) noexcept {
        if (this != &other) {
            Close();
            m_handle = std::exchange(other.m_handle, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

private:
    void Close() {
        if (Valid()) {
            FindClose(m_handle);
            m_handle = INVALID_HANDLE_VALUE;
        }
    }

    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

} // namespace shortcuts
