// File systems that hold no files of a user's: the kernel's views of
// processes, devices and settings. The search never walks into them, so a
// search from "/" does not crawl /proc. They are told by their type, found
// in the mount table, whatever path they are mounted on.
#pragma once

#include <sys/types.h>

#include <set>
#include <string>

namespace mvrfind {

class CPseudoFileSystems {
 public:
  // The mounts of this process (/proc/self/mountinfo).
  static CPseudoFileSystems OfThisProcess();
  // From the text of a mountinfo file.
  static CPseudoFileSystems FromMountInfo(const std::string& text);

  static bool IsPseudoType(const std::string& type);
  // Whether the folder lies on such a file system: its device is one of the
  // pseudo mounts, or its file-system magic is one of theirs.
  bool Holds(const std::string& folder) const;
  bool HoldsDevice(dev_t device) const { return m_Devices.count(device) != 0; }

 private:
  std::set<dev_t> m_Devices;
};

}  // namespace mvrfind
