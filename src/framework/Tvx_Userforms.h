#pragma once

#include "Tvx_Node.h"
#include "runtime/Variant.h"

#include <memory>

#include <windows.h>
// The class has a member named MessageBox; windows.h would rename it to MessageBoxW.
#undef MessageBox

class Tvx_UFMessageBox;
class Tvx_UFMacroSecurity;

// Creates each dialog window on its first use, owns it and hands it out; every later use gets
// the same window.
class Tvx_Userforms final : public Tvx_Node {
public:
    Tvx_Userforms();
    ~Tvx_Userforms() override;

    const char* TypeName() const noexcept override { return "Tvx_Userforms"; }

    void ClassTerminate() override;
    void ClassReinitialize();

    Tvx_UFMessageBox* MessageBox();
    Tvx_UFMacroSecurity* MacroSecurity();

    // Whether the window of index 1 (message box) or 2 (notice) exists.
    bool IsCreated(int AIndex) const noexcept { return UserformCreated[AIndex]; }

protected:
    void OnClassLoad() override;

private:
    void CreateUserform(const runtime::Variant& AIndex);

    bool UserformCreated[3] = {false, false, false}; // indexes 1 and 2
    std::unique_ptr<Tvx_UFMessageBox> MessageBoxUserform;
    std::unique_ptr<Tvx_UFMacroSecurity> MacroSecurityUserform;
};
