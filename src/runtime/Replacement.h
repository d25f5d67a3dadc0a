#pragma once

#include "FileEntry.h"
#include "Replace.h"

#include <string>

namespace runtime {

// How a copy takes its target's name, and the program's temporary files beside the targets: a
// copy is made under a temporary name in the target's folder and then put in the target's place
// in one step, setting an old file that others hold aside where the system will not replace it.
class Replacement {
public:
    // A name for a new file beside the target that no one has reason to use ("~tvx", sixteen hex
    // digits, then the suffix, ".tmp" where none is given); a name taken is tried again with the
    // next.
    static std::wstring TemporaryName(const wchar_t* suffix = nullptr);
    // Puts the open file in the target's place in the folder, replacing what is there as the
    // caller allows. Where the old file is left under another name, `left` names it.
    static DWORD PutInPlace(const FileEntry& file, const FileEntry& folder, const std::wstring& leaf, Replace replace,
                            std::wstring& left);
    // Deletes the program's temporary files that a run left in the open folder; once a run.
    static void Sweep(const FileEntry& folder);
};

} // namespace runtime
