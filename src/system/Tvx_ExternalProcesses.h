#pragma once

#include "framework/Tvx_Node.h"

class Tvx_ExternalProcesses final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_ExternalProcesses"; }
};
