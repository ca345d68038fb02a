#pragma once
// Owners of Windows handles: each closes its handle once, when it leaves scope, and
// never changes the thread's last error while doing so (a failure code read after an
// early return stays the one of the call that failed).
#include "platform/win32/Win32Api.h"

#include <utility>

namespace win32 {

template <typename T, typename Traits>
class Unique {
public:
    Unique() = default;
    explicit Unique(T value) : value_(value) {}
    ~Unique() { Reset(); }
    Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
    Unique& operator=(Unique&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.value_, Traits::Invalid()));
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    T Get() const { return value_; }
    // For the out-parameter of an opening call; closes what was held.
    T* Put()
    {
        Reset();
        return &value_;
    }
    explicit operator bool() const { return Traits::Valid(value_); }

    void Reset(T value = Traits::Invalid())
    {
        if (Traits::Valid(value_)) {
            KeepLastError keep;
            Traits::Close(value_);
        }
        value_ = value;
    }

private:
    T value_ = Traits::Invalid();
};

struct KeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool Valid(HKEY key) { return key != nullptr; }
    static void Close(HKEY key) { ::RegCloseKey(key); }
};

// Kernel handles: both null and INVALID_HANDLE_VALUE mean none, as the API's calls
// differ in which one they return on failure.
struct HandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
};

struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { ::FindClose(handle); }
};

template <typename P>
struct LocalTraits {
    static P Invalid() { return nullptr; }
    static bool Valid(P memory) { return memory != nullptr; }
    static void Close(P memory) { ::LocalFree(reinterpret_cast<HLOCAL>(memory)); }
};

using UniqueKey = Unique<HKEY, KeyTraits>;
using UniqueHandle = Unique<HANDLE, HandleTraits>;
using UniqueFind = Unique<HANDLE, FindTraits>;
template <typename P>
using UniqueLocal = Unique<P, LocalTraits<P>>;

// A COM interface pointer, released once.
template <typename I>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    I* operator->() const { return ptr_; }
    I* Get() const { return ptr_; }
    void** PutVoid()
    {
        Reset();
        return reinterpret_cast<void**>(&ptr_);
    }
    explicit operator bool() const { return ptr_ != nullptr; }
    void Reset()
    {
        if (ptr_) {
            KeepLastError keep;
            ptr_->Release();
            ptr_ = nullptr;
        }
    }

private:
    I* ptr_ = nullptr;
};

}  // namespace win32
