#include "Tvx_Node.h"

#include "runtime/RuntimeError.h"

void Tvx_Node::ClassInitialize(Tarvex* ARoot, Tvx_Object* AParent) {
    if (Initialized) {
        return;
    }
    Root = ARoot;
    Parent = AParent;
    Initialized = true;
    OnClassInitialize();
}

void Tvx_Node::ClassLoad() {
    if (Initialized && !Loaded) {
        Loaded = true;
        OnClassLoad();
    }
}

void Tvx_Node::ClassTerminate() {
    if (Initialized && Loaded) {
        OnClassUnload();
        Loaded = false;
    }
    if (Initialized) {
        Root = nullptr;
        Parent = nullptr;
        Initialized = false;
    }
}

Tarvex& Tvx_Node::RootObject() const {
    if (Root == nullptr) {
        runtime::Raise(runtime::kErrObjectNotSet);
    }
    return *Root;
}
