#include "Tarvex.h"

#include "ErrorTrap.h"
#include "Tvx_Errors.h"
#include "Tvx_Tools.h"
#include "Tvx_Userforms.h"
#include "runtime/Process.h"
#include "system/Tvx_ExternalFunctions.h"
#include "system/Tvx_ExternalProcesses.h"
#include "system/Tvx_ExternalRegistry.h"
#include "system/Tvx_ExternalWindows.h"
#include "system/Tvx_FileSystem.h"

Tarvex::Tarvex() {
    ClassInitialize();
}

Tarvex::~Tarvex() {
    ClassTerminate();
}

namespace {

// Creates one service, stores it in its field and initializes it, before the next one exists.
template <class Service> void CreateService(std::unique_ptr<Service>& field, Tarvex* root) {
    field = std::make_unique<Service>();
    field->ClassInitialize(root, root);
}

} // namespace

std::array<Tvx_Node*, 8> Tarvex::Services() const noexcept {
    return {FErrors.get(),
            FExternalFunctions.get(),
            FExternalProcesses.get(),
            FExternalRegistry.get(),
            FExternalWindows.get(),
            FFileSystem.get(),
            FTools.get(),
            FUserforms.get()};
}

void Tarvex::ClassInitialize() {
    if (Initialized) {
        return;
    }
    Root = this;
    Parent = this;
    Initialized = true;
    ErrorTrap trap(this, TypeName());
    trap([&] { CreateService(FErrors, this); });
    trap([&] { CreateService(FExternalFunctions, this); });
    trap([&] { CreateService(FExternalProcesses, this); });
    trap([&] { CreateService(FExternalRegistry, this); });
    trap([&] { CreateService(FExternalWindows, this); });
    trap([&] { CreateService(FFileSystem, this); });
    trap([&] { CreateService(FTools, this); });
    trap([&] { CreateService(FUserforms, this); });
}

void Tarvex::ClassLoad() {
    if (!Initialized || Loaded) {
        return;
    }
    Loaded = true;
    ErrorTrap trap(this, TypeName());
    for (Tvx_Node* service : Services()) {
        trap([&] {
            if (service == nullptr) {
                runtime::Raise(runtime::kErrObjectNotSet);
            }
            service->ClassLoad();
        });
    }
}

void Tarvex::ClassTerminate() {
    if (Initialized && Loaded) {
        Loaded = false;
    }
    if (!Initialized) {
        return;
    }
    // Through the general interface, in the service order; an empty field is skipped and every
    // field keeps its object.
    for (Tvx_Object* service : Services()) {
        if (service != nullptr) {
            service->ClassTerminate();
        }
    }
    Root = nullptr;
    Parent = nullptr;
    Initialized = false;
}

void Tarvex::ClassReinitialize() {
    ClassTerminate();
    ClassInitialize();
}

void Tarvex::ExecuteShell(const runtime::Variant& AFileName, const runtime::Variant& AWinStyle) {
    ErrorTrap trap(this, TypeName());
    trap([&] {
        const int style = AWinStyle.ToInteger();
        runtime::Shell(AFileName.ToString(), style);
    });
}

void Tarvex::EndExecution() {
    runtime::EndProcess();
}
