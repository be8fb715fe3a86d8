#include "FindOriginal.h"

#include <dirent.h>
#include <sys/stat.h>

#include <set>
#include <utility>

#include "CandidateChecksum.h"
#include "PseudoFileSystems.h"

namespace mvrcli {
namespace {

struct Walk {
  uint32_t size = 0, crc = 0;
  char version = 0;
  mvrfind::CPseudoFileSystems pseudo = mvrfind::CPseudoFileSystems::OfThisProcess();
  std::set<std::pair<dev_t, ino_t>> seen;  // folders walked and files found
  std::vector<std::string> found;

  void Folder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    if (!seen.insert({st.st_dev, st.st_ino}).second || pseudo.HoldsDevice(st.st_dev)) return;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> subfolders;
    while (const dirent* e = ::readdir(dir)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      const std::string path = folder == "/" ? "/" + name : folder + "/" + name;
      struct stat es {};
      if (::lstat(path.c_str(), &es) != 0) continue;
      if (S_ISDIR(es.st_mode)) {
        subfolders.push_back(path);
      } else if (S_ISREG(es.st_mode) && static_cast<uint64_t>(es.st_size) == size) {
        uint32_t got = 0;
        if (mvrfind::ChecksumFile(path, version, size, &got) == mvrfind::ReadOutcome::Ok && got == crc &&
            seen.insert({es.st_dev, es.st_ino}).second) {
          found.push_back(path);
        }
      }
    }
    ::closedir(dir);
    for (const std::string& sub : subfolders) Folder(sub);
  }
};

}  // namespace

std::vector<std::string> FindOriginal(const std::vector<std::string>& folders, uint32_t size, uint32_t crc,
                                      char version) {
  Walk walk;
  walk.size = size;
  walk.crc = crc;
  walk.version = version;
  for (const std::string& f : folders) walk.Folder(f.size() > 1 && f.back() == '/' ? f.substr(0, f.size() - 1) : f);
  return walk.found;
}

}  // namespace mvrcli
