#include "ReferenceSearch.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "TarvoFileLib.h"
#include "WildcardMatch.h"

namespace mvrfind {

namespace {

struct FolderListing {
  std::vector<std::string> matches;     // names that match the pattern
  std::vector<std::string> subfolders;  // real folders, not links to them
};

bool IsRealFolder(const std::string& folder, const dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_UNKNOWN) return false;
  // Some file systems leave the type to a separate query. lstat, so that a
  // link back up the tree (/proc/self/root, a loop a user made) never
  // sends the walk round in circles.
  struct stat st {};
  return ::lstat(TFLGetNewPath(entry.d_name, folder.c_str()).c_str(), &st) == 0 &&
         S_ISDIR(st.st_mode);
}

// One pass over the folder, closed again before anything is descended into,
// so the depth of the tree never costs more than one open folder.
FolderListing ListFolder(const std::string& folder, const std::string& pattern) {
  FolderListing listing;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return listing;  // unreadable folders count as empty
  while (const dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    if (WildcardMatch(pattern, name)) listing.matches.emplace_back(name);
    if (IsRealFolder(folder, *entry)) listing.subfolders.emplace_back(name);
  }
  ::closedir(dir);
  return listing;
}

}  // namespace

CReferenceSearch::CReferenceSearch(SearchRequest request, ISearchHost& host,
                                   ChecksumFunction checksum)
    : m_Request(std::move(request)),
      m_strPattern(TFLGetFileName(m_Request.name.c_str())),
      m_Host(host),
      m_Checksum(std::move(checksum)) {}

CMvrFindResult CReferenceSearch::Run() {
  m_strFoundPath.clear();
  m_PseudoFileSystems = CPseudoFileSystems::OfThisProcess();
  return SearchFolder(m_Request.startFolder);
}

CMvrFindResult CReferenceSearch::SearchFolder(const std::string& folder) {
  if (!m_Host.KeepGoing()) return MVRFIND_CANCELLED;
  if (m_PseudoFileSystems.Holds(folder)) return MVRFIND_NOT_FOUND;
  m_Host.EnterFolder(folder);

  const FolderListing listing = ListFolder(folder, m_strPattern);
  for (const std::string& name : listing.matches) {
    const CMvrFindResult result = TryCandidate(TFLGetNewPath(name.c_str(), folder.c_str()));
    if (result != MVRFIND_NOT_FOUND) return result;
  }
  for (const std::string& name : listing.subfolders) {
    const CMvrFindResult result = SearchFolder(TFLGetNewPath(name.c_str(), folder.c_str()));
    if (result != MVRFIND_NOT_FOUND) return result;
  }
  return MVRFIND_NOT_FOUND;
}

CMvrFindResult CReferenceSearch::TryCandidate(const std::string& path) {
  // Only regular files (or links to them) can be an original: a folder or a
  // device of the right size would otherwise end the search with a read
  // error, and a FIFO would never answer at all.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return MVRFIND_NOT_FOUND;
  // The header holds the low 32 bits of the size.
  if (static_cast<uint32_t>(st.st_size) != m_Request.size) return MVRFIND_NOT_FOUND;

  // A link to a file is a candidate, but the checksum opens no link: what
  // it leads to is opened by its own name, so a link swapped in meanwhile
  // cannot lead the read to a device.
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return MVRFIND_NOT_FOUND;
  const std::string target = real;
  std::free(real);
  uint32_t crc = 0;
  switch (m_Checksum(target, m_Request.version, static_cast<uint64_t>(st.st_size), &crc)) {
    case ReadOutcome::ReadError:
      return MVRFIND_DISK_ERROR;
    case ReadOutcome::CannotOpen:
      // A file nobody may read is no use to reconstruction either.
      return MVRFIND_NOT_FOUND;
    case ReadOutcome::Ok:
      break;
  }
  if (crc != m_Request.checksum) return MVRFIND_NOT_FOUND;
  m_strFoundPath = path;
  return MVRFIND_FOUND;
}

}  // namespace mvrfind
