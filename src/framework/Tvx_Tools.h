#pragma once

#include "Tvx_Node.h"
#include "runtime/Variant.h"

#include <windows.h>
// The class has a member named MessageBox; windows.h would rename it to MessageBoxW.
#undef MessageBox

// The program's own message box and its short forms, Word version names, and the existence
// tests for files and folders.
class Tvx_Tools final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_Tools"; }

    runtime::Variant GetWordVersionName(const runtime::Variant& AVersion);

    // Shows one dialog in the one message box window and returns the index of the pressed button.
    runtime::Variant MessageBox(const runtime::Variant& ATitle, const runtime::Variant& AIconType,
                                const runtime::Variant& ABigText, const runtime::Variant& ABigHorAlignment,
                                const runtime::Variant& AText, const runtime::Variant& AHorAlignment,
                                const runtime::Variant& AVertAlignment, const runtime::Variant& ADefaultButton,
                                const runtime::Variant& ACancelButton, const runtime::Variant& ACaptionButton0,
                                const runtime::Variant& ACaptionButton1 = runtime::Variant::Missing(),
                                const runtime::Variant& ACaptionButton2 = runtime::Variant::Missing(),
                                const runtime::Variant& ACaptionButton3 = runtime::Variant::Missing());
    runtime::Variant MessageBoxSimple(const runtime::Variant& AText);
    runtime::Variant MessageBoxInfo(const runtime::Variant& AText);
    runtime::Variant MessageBoxQuestion(const runtime::Variant& AText);

    runtime::Variant CheckIfFileExists(const runtime::Variant& AFile);
    runtime::Variant CheckIfDirectoryExists(const runtime::Variant& ADirectory);
};
