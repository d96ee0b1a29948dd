#pragma once
// AttribMode: what the bulk read-only change does to the read-only attribute.
#include <cstdint>

enum AttribMode : uint8_t {
    AttribSet = 0,   // sets the read-only attribute
    AttribClear = 1, // clears it
};
