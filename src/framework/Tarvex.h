#pragma once

#include "Tvx_Object.h"
#include "runtime/Variant.h"

#include <array>
#include <memory>

class Tvx_Node;
class Tvx_Errors;
class Tvx_ExternalFunctions;
class Tvx_ExternalProcesses;
class Tvx_ExternalRegistry;
class Tvx_ExternalWindows;
class Tvx_FileSystem;
class Tvx_Tools;
class Tvx_Userforms;

// The root of the object tree: creates the eight service objects in their fixed order, owns them
// and hands them out; starts other programs and ends the process.
class Tarvex final : public Tvx_Object {
public:
    // Creating the root creates the whole tree below it.
    Tarvex();
    ~Tarvex() override;

    const char* TypeName() const noexcept override { return "Tarvex"; }

    void ClassInitialize();
    void ClassLoad();
    void ClassTerminate() override;
    void ClassReinitialize();

    Tvx_Errors* Errors() const noexcept { return FErrors.get(); }
    Tvx_ExternalFunctions* ExternalFunctions() const noexcept { return FExternalFunctions.get(); }
    Tvx_ExternalProcesses* ExternalProcesses() const noexcept { return FExternalProcesses.get(); }
    Tvx_ExternalRegistry* ExternalRegistry() const noexcept { return FExternalRegistry.get(); }
    Tvx_ExternalWindows* ExternalWindows() const noexcept { return FExternalWindows.get(); }
    Tvx_FileSystem* FileSystem() const noexcept { return FFileSystem.get(); }
    Tvx_Tools* Tools() const noexcept { return FTools.get(); }
    Tvx_Userforms* Userforms() const noexcept { return FUserforms.get(); }

    // Starts the command line AFileName (a program path, optionally a blank and arguments) with
    // the window style AWinStyle as the show state of its first window, and returns at once.
    void ExecuteShell(const runtime::Variant& AFileName,
                      const runtime::Variant& AWinStyle = runtime::Variant::Missing());

    // Ends the process at once; nothing after the call runs, no close or termination code either.
    [[noreturn]] void EndExecution();

    bool IsInitialized() const noexcept { return Initialized; }
    bool IsLoaded() const noexcept { return Loaded; }

private:
    // The eight services in the service order.
    std::array<Tvx_Node*, 8> Services() const noexcept;

    Tarvex* Root = nullptr;
    Tarvex* Parent = nullptr;
    bool Initialized = false;
    bool Loaded = false;
    std::unique_ptr<Tvx_Errors> FErrors;
    std::unique_ptr<Tvx_ExternalFunctions> FExternalFunctions;
    std::unique_ptr<Tvx_ExternalProcesses> FExternalProcesses;
    std::unique_ptr<Tvx_ExternalRegistry> FExternalRegistry;
    std::unique_ptr<Tvx_ExternalWindows> FExternalWindows;
    std::unique_ptr<Tvx_FileSystem> FFileSystem;
    std::unique_ptr<Tvx_Tools> FTools;
    std::unique_ptr<Tvx_Userforms> FUserforms;
};
