#include "SystemTestSupport.h"

#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "runtime/Clock.h"
#include "runtime/Text.h"
#include "system/Tvx_FileSystem.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <winternl.h>

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

// The import table entry through which this program calls a function of the DLL.
void** ImportSlot(const char* library, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name != 0;
         ++dll) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), library) != 0) {
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

using CreateCall = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, PLARGE_INTEGER, ULONG,
                                    ULONG, ULONG, ULONG, PVOID, ULONG);
using SetInformationCall = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
using FinalPathCall = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
using InformationCall = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
using CreateFileCall = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);

std::wstring countedName;
std::atomic<int> nameOpens{0};
std::atomic<int> fileCreates{0};
std::atomic<int> nameReplaces{0};
std::atomic<int> nameRenameIns{0};
// One import slot put to a function of the test's, and the system's function it held before: for
// the call through to the system, and for the restore.
struct Patch {
    void** slot = nullptr;
    void* system = nullptr;

    // False where the function is not imported (reported then).
    bool Put(const char* library, const char* function, void* replacement) {
        if (slot == nullptr) {
            slot = ImportSlot(library, function);
            if (slot == nullptr) {
                return false;
            }
            system = Exchange(slot, replacement);
        }
        return true;
    }
    void Restore() {
        if (slot != nullptr) {
            Exchange(slot, system);
            slot = nullptr;
        }
    }
    template <typename Function> Function System() const { return reinterpret_cast<Function>(system); }
};

using FlushCall = BOOL(WINAPI*)(HANDLE);
using QueryInformationCall = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);

Patch create;
Patch setInformation;
Patch finalPath;
Patch information;
Patch createFile;
Patch flush;
Patch queryInformation;
// Whether the entry of the counted name refuses to be opened itself, and another name that does too.
bool refuseItself = false;
std::wstring alsoRefused;

// A test's own step at one call: run, then answered instead of the system where told.
struct Step {
    NativeFileCalls::Call call;
    int number;
    std::function<void()> action;
    NTSTATUS answer;
};
std::vector<Step> steps;

// Runs the step set for this call, once; true with its answer where the system is not to be asked.
bool TakeStep(NativeFileCalls::Call call, int number, NTSTATUS& answer) {
    for (auto step = steps.begin(); step != steps.end(); ++step) {
        if (step->call == call && step->number == number) {
            Step taken = std::move(*step);
            steps.erase(step);
            if (taken.action) {
                taken.action();
            }
            answer = taken.answer;
            return answer != 0;
        }
    }
    return false;
}

bool IsName(const wchar_t* name, size_t bytes, const std::wstring& wanted) {
    return CompareStringOrdinal(name, static_cast<int>(bytes / sizeof(wchar_t)), wanted.c_str(),
                                static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL;
}

bool IsCountedName(const wchar_t* name, size_t bytes) {
    return IsName(name, bytes, countedName);
}

bool IsRefusedName(const wchar_t* name, size_t bytes) {
    return refuseItself && (IsCountedName(name, bytes) || (!alsoRefused.empty() && IsName(name, bytes, alsoRefused)));
}

// Whether the path's last part, separators at its end aside, is a name that refuses to be opened.
bool EndsInRefusedName(const wchar_t* path) {
    std::wstring_view view(path);
    while (!view.empty() && (view.back() == L'\\' || view.back() == L'/')) {
        view.remove_suffix(1);
    }
    const size_t separator = view.find_last_of(L"\\/");
    const std::wstring_view last = separator == std::wstring_view::npos ? view : view.substr(separator + 1);
    return IsRefusedName(last.data(), last.size() * sizeof(wchar_t));
}

HANDLE WINAPI RefusingCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE templateFile) {
    // Opened itself, not followed: reached by its path, such a folder lists its entries.
    if (path != nullptr && (flags & FILE_FLAG_OPEN_REPARSE_POINT) != 0 && EndsInRefusedName(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return createFile.System<CreateFileCall>()(path, access, share, security, disposition, flags, templateFile);
}

NTSTATUS NTAPI CountedCreate(PHANDLE handle, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes, PIO_STATUS_BLOCK status,
                             PLARGE_INTEGER size, ULONG fileAttributes, ULONG share, ULONG disposition, ULONG options,
                             PVOID extended, ULONG extendedLength) {
    if (disposition == FILE_CREATE) {
        ++fileCreates;
    }
    if (attributes->ObjectName != nullptr &&
        IsCountedName(attributes->ObjectName->Buffer, attributes->ObjectName->Length)) {
        NTSTATUS answer = 0;
        if (TakeStep(NativeFileCalls::Call::Open, ++nameOpens, answer)) {
            return answer;
        }
    }
    // The file component opens every entry relative to its folder as itself.
    if (attributes->ObjectName != nullptr &&
        IsRefusedName(attributes->ObjectName->Buffer, attributes->ObjectName->Length)) {
        return static_cast<NTSTATUS>(0xC0000022L);
    }
    return create.System<CreateCall>()(handle, access, attributes, status, size, fileAttributes, share, disposition,
                                       options, extended, extendedLength);
}

NTSTATUS NTAPI CountedSetInformation(HANDLE file, PIO_STATUS_BLOCK status, PVOID information, ULONG length,
                                     FILE_INFORMATION_CLASS kind) {
    // The classic rename: every attempt to put a copy in an entry's place makes one that replaces,
    // the aside replace one that does not.
    constexpr auto kRename = static_cast<FILE_INFORMATION_CLASS>(10);
    const auto* rename = static_cast<const FILE_RENAME_INFO*>(information);
    if (kind == kRename && IsCountedName(rename->FileName, rename->FileNameLength)) {
        NTSTATUS answer = 0;
        const bool answered = rename->ReplaceIfExists
                                  ? TakeStep(NativeFileCalls::Call::Replace, ++nameReplaces, answer)
                                  : TakeStep(NativeFileCalls::Call::RenameIn, ++nameRenameIns, answer);
        if (answered) {
            return answer;
        }
    }
    return setInformation.System<SetInformationCall>()(file, status, information, length, kind);
}

DWORD WINAPI NoFinalPath(HANDLE, LPWSTR, DWORD, DWORD) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return 0;
}

BOOL WINAPI NoNameInformation(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID buffer, DWORD size) {
    if (kind == FileNameInfo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return information.System<InformationCall>()(file, kind, buffer, size);
}

BOOL WINAPI FailingFlush(HANDLE) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

LONGLONG oneIndex = 0;

NTSTATUS NTAPI OneIndexInformation(HANDLE file, PIO_STATUS_BLOCK status, PVOID information, ULONG length,
                                   FILE_INFORMATION_CLASS kind) {
    constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
    if (kind == kFileInternalInformation && length >= sizeof(LARGE_INTEGER)) {
        static_cast<LARGE_INTEGER*>(information)->QuadPart = oneIndex;
        return 0;
    }
    return queryInformation.System<QueryInformationCall>()(file, status, information, length, kind);
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

NativeFileCalls::NativeFileCalls(const std::string& name) {
    countedName = runtime::Widen(name);
    nameOpens = 0;
    fileCreates = 0;
    nameReplaces = 0;
    nameRenameIns = 0;
    steps.clear();
    // A call that is not imported has been reported; nothing is counted then, and the test's
    // expected counts fail instead of a write through an empty slot.
    if (!create.Put("ntdll.dll", "NtCreateFile", reinterpret_cast<void*>(CountedCreate)) ||
        !setInformation.Put("ntdll.dll", "NtSetInformationFile", reinterpret_cast<void*>(CountedSetInformation))) {
        create.Restore();
    }
}

NativeFileCalls::~NativeFileCalls() {
    for (Patch* patch : {&finalPath, &information, &createFile, &create, &setInformation, &flush, &queryInformation}) {
        patch->Restore();
    }
    refuseItself = false;
    alsoRefused.clear();
    steps.clear();
}

int NativeFileCalls::Opens() const {
    return nameOpens;
}

int NativeFileCalls::Creates() const {
    return fileCreates;
}

int NativeFileCalls::Replaces() const {
    return nameReplaces;
}

int NativeFileCalls::RenameIns() const {
    return nameRenameIns;
}

void NativeFileCalls::At(Call call, int number, std::function<void()> action, NTSTATUS answer) {
    steps.push_back({call, number, std::move(action), answer});
}

void NativeFileCalls::HidePlaces() {
    if (!finalPath.Put("kernel32.dll", "GetFinalPathNameByHandleW", reinterpret_cast<void*>(NoFinalPath)) ||
        !information.Put("kernel32.dll", "GetFileInformationByHandleEx", reinterpret_cast<void*>(NoNameInformation))) {
        finalPath.Restore();
    }
}

void NativeFileCalls::FailFlushes() {
    flush.Put("kernel32.dll", "FlushFileBuffers", reinterpret_cast<void*>(FailingFlush));
}

void NativeFileCalls::OneIndexForAll(LONGLONG index) {
    oneIndex = index;
    queryInformation.Put("ntdll.dll", "NtQueryInformationFile", reinterpret_cast<void*>(OneIndexInformation));
}

void NativeFileCalls::RefuseOpeningItself(const std::string& alsoName) {
    refuseItself = true;
    alsoRefused = runtime::Widen(alsoName);
    createFile.Put("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(RefusingCreateFile));
}

} // namespace systemtest
