#pragma once

#include <cstdint>

namespace parlino {

// This computer's IPv4 address on the interface whose network holds peer (host byte order): the address
// a name query's answer must give. Loopback for a loopback peer; else the first address that is up.
uint32_t LocalAddressFacing(uint32_t peer);

} // namespace parlino
