#include "platform/LastError.h"

namespace parlino {
namespace {
thread_local uint32_t lastError = 0;
}

uint32_t LastError()
{
    return lastError;
}

void SetLastError(uint32_t code)
{
    lastError = code;
}

} // namespace parlino
