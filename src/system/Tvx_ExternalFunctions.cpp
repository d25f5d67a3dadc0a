#include "Tvx_ExternalFunctions.h"

#include "framework/ErrorTrap.h"
#include "runtime/Clock.h"
#include "runtime/FileEntry.h"
#include "runtime/Text.h"

namespace {

HWND WindowOf(int32_t handle) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(handle));
}

} // namespace

// Through the runtime's clock, so that a test can let a long wait pass at once.
int32_t Tvx_ExternalFunctions::GetTickCount() {
    int32_t result = 0;
    ErrorTrap trap(Root, TypeName());
    trap([&] { result = static_cast<int32_t>(runtime::TickCount()); });
    return result;
}

int32_t Tvx_ExternalFunctions::OpenClipboard(int32_t HandleWindow) {
    int32_t result = 0;
    ErrorTrap trap(Root, TypeName());
    trap([&] { result = ::OpenClipboard(WindowOf(HandleWindow)); });
    return result;
}

intptr_t Tvx_ExternalFunctions::SetClipboardData(int32_t Format, intptr_t HandleMemory) {
    intptr_t result = 0;
    ErrorTrap trap(Root, TypeName());
    trap([&] {
        result = reinterpret_cast<intptr_t>(
            ::SetClipboardData(static_cast<UINT>(Format), reinterpret_cast<HANDLE>(HandleMemory)));
    });
    return result;
}

intptr_t Tvx_ExternalFunctions::GetClipboardData(int32_t Format) {
    intptr_t result = 0;
    ErrorTrap trap(Root, TypeName());
    trap([&] { result = reinterpret_cast<intptr_t>(::GetClipboardData(static_cast<UINT>(Format))); });
    return result;
}

int32_t Tvx_ExternalFunctions::EmptyClipboard() {
    int32_t result = 0;
    ErrorTrap trap(Root, TypeName());
    trap([&] { result = ::EmptyClipboard(); });
    return result;
}

int32_t Tvx_ExternalFunctions::CloseClipboard() {
    int32_t result = 0;
    ErrorTrap trap(Root, TypeName());
    trap([&] { result = ::CloseClipboard(); });
    return result;
}

// The wide functions: a path reaches the system as it is. Through the ANSI ones a character the
// code page lacks would become a look-alike and name another file, someone else's. A path with a
// zero character names no file (the system would take the part before it): it fails as the system
// fails, with 0, like every other failure of these two. The delete answers not 0 only where the
// file is gone (or goes when its last holder lets go): Wine's DeleteFileW answers TRUE where the
// system refuses the delete as the handle closes, and the file stays.
int32_t Tvx_ExternalFunctions::CopyFile(std::string ASource, std::string ADestination, int32_t ABooleanFailIfExists) {
    int32_t result = 0;
    ErrorTrap trap(Root, TypeName());
    trap([&] {
        if (!runtime::IsPathText(ASource) || !runtime::IsPathText(ADestination)) {
            SetLastError(ERROR_INVALID_NAME);
            return;
        }
        result =
            ::CopyFileW(runtime::Widen(ASource).c_str(), runtime::Widen(ADestination).c_str(), ABooleanFailIfExists);
    });
    return result;
}

int32_t Tvx_ExternalFunctions::DeleteFile(std::string AFileName) {
    int32_t result = 0;
    ErrorTrap trap(Root, TypeName());
    trap([&] {
        if (!runtime::IsPathText(AFileName)) {
            SetLastError(ERROR_INVALID_NAME);
            return;
        }
        result = runtime::FileEntry::DeleteByPath(runtime::Widen(AFileName)) ? 1 : 0;
    });
    return result;
}
