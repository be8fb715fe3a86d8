#include "PseudoFileSystems.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace mvrfind {

namespace {

constexpr const char* kPseudoTypes[] = {
    "proc",    "sysfs",     "devtmpfs", "devpts",  "cgroup",      "cgroup2",  "debugfs",
    "tracefs", "securityfs", "pstore",  "bpf",     "configfs",    "mqueue",   "hugetlbfs",
    "fusectl", "binfmt_misc", "efivarfs", "selinuxfs", "autofs",  "rpc_pipefs", "nsfs",
    "nfsd",    "rdt"};

// Types whose magic number alone tells them (tmpfs and devtmpfs share one, so
// devtmpfs needs the mount table).
bool IsPseudoMagic(decltype(statfs::f_type) magic) {
  switch (static_cast<unsigned long>(magic)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case BINFMTFS_MAGIC:
    case EFIVARFS_MAGIC:
    case SELINUX_MAGIC:
    case NSFS_MAGIC:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool CPseudoFileSystems::IsPseudoType(const std::string& type) {
  for (const char* pseudo : kPseudoTypes) {
    if (type == pseudo) return true;
  }
  return false;
}

CPseudoFileSystems CPseudoFileSystems::FromMountInfo(const std::string& text) {
  // A line: id parent major:minor root mount-point options [optional...] - type source super-options
  CPseudoFileSystems result;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string id, parent, device;
    if (!(fields >> id >> parent >> device)) continue;
    const std::size_t separator = line.find(" - ");
    if (separator == std::string::npos) continue;
    std::istringstream tail(line.substr(separator + 3));
    std::string type;
    if (!(tail >> type) || !IsPseudoType(type)) continue;
    unsigned major = 0, minor = 0;
    char colon = 0;
    std::istringstream numbers(device);
    if (numbers >> major >> colon >> minor && colon == ':') result.m_Devices.insert(makedev(major, minor));
  }
  return result;
}

CPseudoFileSystems CPseudoFileSystems::OfThisProcess() {
  std::ifstream file("/proc/self/mountinfo");
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return FromMountInfo(text);
}

bool CPseudoFileSystems::Holds(const std::string& folder) const {
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0 && HoldsDevice(st.st_dev)) return true;
  struct statfs fs {};
  return ::statfs(folder.c_str(), &fs) == 0 && IsPseudoMagic(fs.f_type);
}

}  // namespace mvrfind
