#include "ExecDirCache.h"

#include <utility>

#include "PathSplit.h"

namespace tfl {

ExecDirCache::ExecDirCache(ProgramPathQuery query, PathStyle style)
    : m_query(std::move(query)), m_eStyle(style) {}

std::string ExecDirCache::Get() {
  if (!m_strFolder.empty()) return m_strFolder;
  std::string program;
  if (!m_query(&program)) return {};
  m_strFolder = SplitPath(program, m_eStyle).folder;
  return m_strFolder;
}

}  // namespace tfl
