// The program's folder, asked of the system once and then remembered.
#pragma once

#include <functional>
#include <string>

#include "PathStyle.h"

namespace tfl {

class ExecDirCache {
 public:
  // Fills its argument with the program's full path; false on failure.
  using ProgramPathQuery = std::function<bool(std::string*)>;

  ExecDirCache(ProgramPathQuery query, PathStyle style);

  // The folder of the program without drive, with its trailing separator.
  // A failed query leaves the cache empty, so the next call asks again.
  // Not locked: the first call must come before threads share the cache.
  std::string Get();

 private:
  ProgramPathQuery m_query;
  PathStyle m_eStyle;
  std::string m_strFolder;
};

}  // namespace tfl
