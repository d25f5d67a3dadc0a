#pragma once

#include "Tvx_Node.h"

class Tvx_Tools final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_Tools"; }
};
