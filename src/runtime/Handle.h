#pragma once

#include <windows.h>

#include <utility>

namespace runtime {

// One owner for every kind of system handle: not copyable, movable, closed once. The traits say
// which value is "empty" for the kind and which function closes it.
template <class Traits> class UniqueHandle {
public:
    using pointer = typename Traits::pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    pointer get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

    void reset(pointer handle = Traits::Empty()) noexcept {
        const pointer old = std::exchange(handle_, handle);
        if (old != Traits::Empty()) {
            Traits::Close(old);
        }
    }

    pointer release() noexcept { return std::exchange(handle_, Traits::Empty()); }

    // For functions that hand out a new handle through an out-parameter: closes the current one.
    pointer* put() noexcept {
        reset();
        return &handle_;
    }

private:
    pointer handle_ = Traits::Empty();
};

struct KernelHandleTraits {
    using pointer = HANDLE;
    static pointer Empty() noexcept { return nullptr; }
    static void Close(pointer handle) noexcept { CloseHandle(handle); }
};

// Files and Toolhelp snapshots use INVALID_HANDLE_VALUE for "no handle".
struct FileHandleTraits {
    using pointer = HANDLE;
    static pointer Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(pointer handle) noexcept { CloseHandle(handle); }
};

struct FindHandleTraits {
    using pointer = HANDLE;
    static pointer Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(pointer handle) noexcept { FindClose(handle); }
};

struct RegKeyTraits {
    using pointer = HKEY;
    static pointer Empty() noexcept { return nullptr; }
    static void Close(pointer key) noexcept { RegCloseKey(key); }
};

struct GdiObjectTraits {
    using pointer = HGDIOBJ;
    static pointer Empty() noexcept { return nullptr; }
    static void Close(pointer object) noexcept { DeleteObject(object); }
};

struct WindowTraits {
    using pointer = HWND;
    static pointer Empty() noexcept { return nullptr; }
    static void Close(pointer window) noexcept { DestroyWindow(window); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using GdiObject = UniqueHandle<GdiObjectTraits>;
using OwnedWindow = UniqueHandle<WindowTraits>;

} // namespace runtime
