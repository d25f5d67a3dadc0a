#pragma once

#include "Tvx_Node.h"

class Tvx_Userforms final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_Userforms"; }
};
