// The walk behind the search dialog: depth first from a start folder, trying
// the entries that match the name pattern before entering any subfolder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "CandidateChecksum.h"
#include "MvrFind.h"
#include "PseudoFileSystems.h"
#include "SearchHost.h"

namespace mvrfind {

struct SearchRequest {
  std::string name;         // as typed; a folder part is ignored, wildcards allowed
  std::string startFolder;  // as typed
  uint32_t size = 0;        // the recorded size of the original file
  uint32_t checksum = 0;    // its recorded checksum
  char version = 0;         // the difference file's version byte
};

// Computes a candidate's checksum; ChecksumFile unless a test says otherwise.
using ChecksumFunction =
    std::function<ReadOutcome(const std::string& path, char version, uint64_t size, uint32_t* crc)>;

class CReferenceSearch {
 public:
  CReferenceSearch(SearchRequest request, ISearchHost& host,
                   ChecksumFunction checksum = ChecksumFile);

  // MVRFIND_FOUND, MVRFIND_CANCELLED (the host said stop), MVRFIND_NOT_FOUND
  // or MVRFIND_DISK_ERROR (a candidate could not be read to its end).
  CMvrFindResult Run();
  const std::string& FoundPath() const { return m_strFoundPath; }

 private:
  CMvrFindResult SearchFolder(const std::string& folder);
  CMvrFindResult TryCandidate(const std::string& path);

  SearchRequest m_Request;
  std::string m_strPattern;
  ISearchHost& m_Host;
  ChecksumFunction m_Checksum;
  std::string m_strFoundPath;
  CPseudoFileSystems m_PseudoFileSystems;
};

}  // namespace mvrfind
