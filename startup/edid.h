#pragma once
// Reading a monitor's own name from its EDID block (the "monitor name"
// display descriptor), for the Linux display port, which gets the raw block
// from XRandR. The block is untrusted input: any size, any bytes.
#include <cstddef>
#include <string>

// The name stored in the EDID's monitor-name descriptor, trimmed of its line
// feed and padding and cleaned of anything but printable ASCII; empty when
// the block is not a valid EDID or carries no name.
std::string MonitorNameFromEdid(const unsigned char* data, std::size_t size);
