#include "SystemTestSupport.h"

#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "runtime/Clock.h"
#include "runtime/Text.h"
#include "system/Tvx_FileSystem.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>

namespace systemtest {

namespace {

constexpr wchar_t kFormClass[] = L"TvxSystemTestForm";
constexpr wchar_t kMessageClass[] = L"TvxSystemTestMessages";

void RegisterClasses() {
    static const bool registered = [] {
        WNDCLASSW form{};
        form.lpfnWndProc = DefWindowProcW;
        form.hInstance = GetModuleHandleW(nullptr);
        form.lpszClassName = kFormClass;
        RegisterClassW(&form);
        WNDCLASSW messages{};
        messages.lpfnWndProc = DefWindowProcW;
        messages.hInstance = GetModuleHandleW(nullptr);
        messages.lpszClassName = kMessageClass;
        RegisterClassW(&messages);
        return true;
    }();
    (void)registered;
}

HWND MessageWindow() {
    RegisterClasses();
    return CreateWindowExW(0, kMessageClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

std::atomic<uint32_t> clockNext{0};
std::atomic<uint32_t> clockStep{0};
std::atomic<int> clockReadings{0};

uint32_t SteppingTickCount() {
    ++clockReadings;
    return clockNext.fetch_add(clockStep.load());
}

// The import table entry through which this program calls a kernel32 function.
void** ImportSlot(const char* function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name != 0;
         ++dll) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), "kernel32.dll") != 0) {
            continue;
        }
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                lstrcmpA(reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name,
                         function) == 0) {
                return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
    }
    ADD_FAILURE() << function << " is not imported";
    return nullptr;
}

// Puts the function into the slot; the one it held before.
void* Exchange(void** slot, void* function) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    void* before = std::exchange(*slot, function);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return before;
}

std::atomic<int> copyCalls{0};
std::atomic<int> deleteCalls{0};
decltype(&CopyFileW) systemCopy = nullptr;
decltype(&DeleteFileW) systemDelete = nullptr;
void** copySlot = nullptr;
void** deleteSlot = nullptr;

BOOL WINAPI CountedCopyFileW(LPCWSTR source, LPCWSTR destination, BOOL failIfExists) {
    ++copyCalls;
    return systemCopy(source, destination, failIfExists);
}

BOOL WINAPI CountedDeleteFileW(LPCWSTR fileName) {
    ++deleteCalls;
    return systemDelete(fileName);
}

} // namespace

std::string UniqueName(const std::string& prefix) {
    static std::atomic<int> counter{0};
    return prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

void ExpectNoReport(Tarvex& root) {
    EXPECT_TRUE(root.Errors()->ErrNumber().IsEmpty()) << root.Errors()->ErrNumber().ToString();
    EXPECT_EQ(root.Errors()->Description().ToString(), "");
}

ReportAnswerer::ReportAnswerer() {
    answerer_.Click("Ignorieren");
}

void ReportAnswerer::Check(Tarvex& root, int32_t number, const std::string& errorText, const std::string& description) {
    ASSERT_TRUE(answerer_.Done()) << "no error dialog was shown";
    const auto seen = answerer_.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Title, "Tarvex Error");
    EXPECT_NE(seen[0].Body.find("\n\nFehlerbeschreibung: \"" + description + "\"\nVisual Basic Fehler: \"" + errorText +
                                "\"\nVisual Basic Fehlernummer: " + std::to_string(number) + "\n"),
              std::string::npos)
        << seen[0].Body;
    EXPECT_EQ(root.Errors()->ErrNumber().ToLong(), number);
    EXPECT_EQ(root.Errors()->ErrDescription().ToString(), errorText);
    EXPECT_EQ(root.Errors()->Description().ToString(), description);
}

FileSystemFixture::FileSystemFixture(const std::string& folderHint)
    : files_(*root_.FileSystem()), folder_(folderHint) {}

std::string FileSystemFixture::Path(const std::string& name) const {
    return folder_.Path() + name;
}

std::string FileSystemFixture::Write(const std::string& name, const std::string& bytes, DWORD attributes) {
    testsupport::WriteFile(Path(name), bytes);
    if (attributes != 0) {
        EXPECT_TRUE(SetFileAttributesW(runtime::Widen(Path(name)).c_str(), attributes));
    }
    return Path(name);
}

void FileSystemFixture::Folder(const std::string& name) {
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(Path(name)).c_str(), nullptr));
}

runtime::FileHandle FileSystemFixture::Lock(const std::string& path) {
    runtime::FileHandle lock(CreateFileW(runtime::Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(lock) << path;
    return lock;
}

TestForm::TestForm(const std::string& caption) {
    RegisterClasses();
    window_.reset(CreateWindowExW(0, kFormClass, runtime::Widen(caption).c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    EXPECT_TRUE(window_) << caption;
}

void StackTopDown(std::initializer_list<HWND> windows) {
    HWND above = HWND_TOP;
    for (HWND window : windows) {
        SetWindowPos(window, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = window;
    }
}

SteppingClock::SteppingClock(uint32_t start, uint32_t step) {
    clockNext = start;
    clockStep = step;
    clockReadings = 0;
    runtime::SetTickSource(SteppingTickCount);
}

SteppingClock::~SteppingClock() {
    runtime::SetTickSource(nullptr);
}

int SteppingClock::Readings() const {
    return clockReadings;
}

PostedMarker::PostedMarker() : window_(MessageWindow()) {
    EXPECT_TRUE(window_);
    PostMessageW(window_.get(), WM_APP, 0, 0);
}

bool PostedMarker::StillWaiting() const {
    MSG message;
    return PeekMessageW(&message, window_.get(), WM_APP, WM_APP, PM_NOREMOVE) != FALSE;
}

ReleaseWhileRetrying::ReleaseWhileRetrying(runtime::FileHandle& lock, int messages) : lock_(lock), messages_(messages) {
    RegisterClasses();
    window_.reset(MessageWindow());
    EXPECT_TRUE(window_);
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
    HWND target = window_.get();
    sender_ = std::thread([this, target] {
        for (int i = 0; i < messages_; ++i) {
            SendMessageW(target, WM_APP, 0, 0);
        }
        senderDone_ = true;
    });
}

ReleaseWhileRetrying::~ReleaseWhileRetrying() {
    // Messages the operation left unhandled are handled here, so that the sender can end.
    while (!senderDone_) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        Sleep(1);
    }
    sender_.join();
}

LRESULT CALLBACK ReleaseWhileRetrying::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        auto* self = reinterpret_cast<ReleaseWhileRetrying*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (++self->handled_ == self->messages_) {
            self->lock_.reset();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

SystemFileCalls::SystemFileCalls() {
    copyCalls = 0;
    deleteCalls = 0;
    copySlot = ImportSlot("CopyFileW");
    deleteSlot = ImportSlot("DeleteFileW");
    // A call that is not imported has been reported; nothing is counted then, and the test's
    // expected counts fail instead of a write through an empty slot.
    if (copySlot == nullptr || deleteSlot == nullptr) {
        copySlot = nullptr;
        deleteSlot = nullptr;
        return;
    }
    systemCopy = reinterpret_cast<decltype(systemCopy)>(Exchange(copySlot, reinterpret_cast<void*>(CountedCopyFileW)));
    systemDelete =
        reinterpret_cast<decltype(systemDelete)>(Exchange(deleteSlot, reinterpret_cast<void*>(CountedDeleteFileW)));
}

SystemFileCalls::~SystemFileCalls() {
    if (copySlot == nullptr) {
        return;
    }
    Exchange(copySlot, reinterpret_cast<void*>(systemCopy));
    Exchange(deleteSlot, reinterpret_cast<void*>(systemDelete));
}

int SystemFileCalls::Copies() const {
    return copyCalls;
}

int SystemFileCalls::Deletes() const {
    return deleteCalls;
}

} // namespace systemtest
