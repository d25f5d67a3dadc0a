#include "Tvx_Userforms.h"

#include "ErrorTrap.h"
#include "Tvx_UFMacroSecurity.h"
#include "Tvx_UFMessageBox.h"

using runtime::Variant;

Tvx_Userforms::Tvx_Userforms() = default;
Tvx_Userforms::~Tvx_Userforms() = default;

Tvx_UFMessageBox* Tvx_Userforms::MessageBox() {
    ErrorTrap trap(Root, TypeName());
    trap([&] { CreateUserform(1); });
    return MessageBoxUserform.get();
}

Tvx_UFMacroSecurity* Tvx_Userforms::MacroSecurity() {
    ErrorTrap trap(Root, TypeName());
    trap([&] { CreateUserform(2); });
    return MacroSecurityUserform.get();
}

void Tvx_Userforms::CreateUserform(const Variant& AIndex) {
    ErrorTrap trap(Root, TypeName());
    int16_t index = 0;
    trap([&] { index = AIndex.ToInteger(); });
    if (index == 1 && !UserformCreated[1]) {
        trap([&] {
            MessageBoxUserform = std::make_unique<Tvx_UFMessageBox>();
            MessageBoxUserform->ClassInitialize(Root, this);
            UserformCreated[1] = true;
        });
    } else if (index == 2 && !UserformCreated[2]) {
        trap([&] {
            MacroSecurityUserform = std::make_unique<Tvx_UFMacroSecurity>();
            MacroSecurityUserform->ClassInitialize(Root, this);
            UserformCreated[2] = true;
        });
    }
}

void Tvx_Userforms::OnClassLoad() {
    ErrorTrap trap(Root, TypeName());
    trap([&] { CreateUserform(1); });
    trap([&] { Required(MessageBoxUserform.get()).ClassLoad(); });
    trap([&] { CreateUserform(2); });
    trap([&] { Required(MacroSecurityUserform.get()).ClassLoad(); });
}

void Tvx_Userforms::ClassTerminate() {
    ErrorTrap trap(Root, TypeName());
    // The windows go first; their references stay in the fields until a new use replaces them.
    if (UserformCreated[1] && Initialized) {
        trap([&] { Required(MessageBoxUserform.get()).ClassTerminate(); });
        trap([&] { Required(MessageBoxUserform.get()).Unload(); });
        UserformCreated[1] = false;
    }
    if (UserformCreated[2] && Initialized) {
        trap([&] { Required(MacroSecurityUserform.get()).ClassTerminate(); });
        trap([&] { Required(MacroSecurityUserform.get()).Unload(); });
        UserformCreated[2] = false;
    }
    Tvx_Node::ClassTerminate();
}

void Tvx_Userforms::ClassReinitialize() {
    Tarvex* const root = Root;
    Tvx_Object* const parent = Parent;
    ClassTerminate();
    ClassInitialize(root, parent);
}
