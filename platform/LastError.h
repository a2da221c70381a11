#pragma once

#include <cstdint>

namespace parlino {

// The calling thread's last error, as the mailslot calls report it.
uint32_t LastError();
void SetLastError(uint32_t code);

// Sets the error and gives the failure value, for one-line returns.
template <typename T> T Fail(uint32_t code, T result)
{
    SetLastError(code);
    return result;
}

} // namespace parlino
