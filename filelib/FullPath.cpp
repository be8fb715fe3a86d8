#include "FullPath.h"

#include <vector>

#include "PathLimits.h"

namespace tfl {
namespace {

void AppendComponents(std::string_view path, std::vector<std::string_view>* components) {
  while (!path.empty()) {
    std::size_t slash = path.find('/');
    std::string_view part = path.substr(0, slash);
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!components->empty()) components->pop_back();
      continue;
    }
    components->push_back(part);
  }
}

}  // namespace

std::string FoldFullPath(std::string_view path, std::string_view currentFolder) {
  std::vector<std::string_view> components;
  if (path.empty() || path.front() != '/') AppendComponents(currentFolder, &components);
  AppendComponents(path, &components);

  std::string result;
  for (std::string_view part : components) {
    result += '/';
    result += part;
  }
  if (result.empty() || (!path.empty() && path.back() == '/')) result += '/';
  if (result.size() >= kMaxPath) return {};
  return result;
}

}  // namespace tfl
