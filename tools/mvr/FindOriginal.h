// Walks folders for files with a recorded original's size and checksum,
// never entering the kernel's pseudo file systems, a folder twice, or a
// link.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mvrcli {

std::vector<std::string> FindOriginal(const std::vector<std::string>& folders, uint32_t size, uint32_t crc,
                                      char version);

}  // namespace mvrcli
