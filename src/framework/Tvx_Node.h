#pragma once

#include "Tvx_Object.h"

// The object-tree protocol of every service object and dialog window: the node stores its root
// and parent once, and two flags guard its set-up, loading and tear-down. Each class adds its own
// work through the hooks; the protocol steps themselves are the same everywhere.
class Tvx_Node : public Tvx_Object {
public:
    void ClassInitialize(Tarvex* ARoot, Tvx_Object* AParent);
    void ClassLoad();
    void ClassTerminate() override;
    Tarvex* ClassRoot() const noexcept { return Root; }
    Tvx_Object* ClassParent() const noexcept { return Parent; }

    bool IsInitialized() const noexcept { return Initialized; }
    bool IsLoaded() const noexcept { return Loaded; }

protected:
    Tvx_Node() = default;

    // The class's own set-up after the first ClassInitialize, its loading after Loaded is set,
    // and its unloading before Loaded is cleared.
    virtual void OnClassInitialize() {}
    virtual void OnClassLoad() {}
    virtual void OnClassUnload() {}

    // The root for a statement that uses it; raises "object variable not set" before
    // ClassInitialize and after ClassTerminate, as any use of an empty reference does.
    Tarvex& RootObject() const;

    Tarvex* Root = nullptr;
    Tvx_Object* Parent = nullptr;
    bool Initialized = false;
    bool Loaded = false;
};
