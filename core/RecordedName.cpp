#include "RecordedName.h"

#include <sys/stat.h>

#include <cstring>

#include "TarvoCore.h"

namespace tarvo {
namespace {

// "C:..." or anything with a backslash was written on the other system; as a
// path here it could only name a file of that literal name.
bool IsForeignPath(std::string_view name) {
  if (name.find('\\') != std::string_view::npos) return true;
  return name.size() >= 2 && name[1] == ':' &&
         ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

std::string Beside(std::string_view deltaPath, std::string_view base) {
  const size_t slash = deltaPath.rfind('/');
  if (slash == std::string_view::npos) return std::string(base);
  std::string path(deltaPath.substr(0, slash + 1));
  path += base;
  return path;
}

size_t Deliver(const std::string& path, char* out, size_t outSize) {
  if (path.empty()) return 0;
  if (out != nullptr && outSize > path.size()) std::memcpy(out, path.c_str(), path.size() + 1);
  return path.size();
}

}  // namespace

std::string_view RecordedBaseName(std::string_view recorded) {
  const size_t cut = recorded.find_last_of("/\\");
  std::string_view base = cut == std::string_view::npos ? recorded : recorded.substr(cut + 1);
  // "C:name" (a drive's current folder) names "name".
  if (cut == std::string_view::npos && IsForeignPath(base)) base.remove_prefix(2);
  return base;
}

bool IsSafeBaseName(std::string_view base) {
  if (base.empty() || base == "." || base == "..") return false;
  for (const char c : base) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) return false;
  }
  return true;
}

std::string_view RecordedTargetBase(std::string_view recorded) {
  // An embedded NUL would cut the name short where the system reads it.
  if (recorded.find('\0') != std::string_view::npos) return {};
  const std::string_view base = RecordedBaseName(recorded);
  return IsSafeBaseName(base) ? base : std::string_view();
}

std::string RecordedTargetPath(std::string_view deltaPath, std::string_view recorded) {
  const std::string_view base = RecordedTargetBase(recorded);
  return base.empty() ? std::string() : Beside(deltaPath, base);
}

std::string RecordedOriginalPath(std::string_view deltaPath, std::string_view recorded) {
  if (recorded.find('\0') != std::string_view::npos) return {};
  if (!IsForeignPath(recorded)) {
    struct stat st {};
    // Only asks whether a name is there: nothing is opened here.
    if (!recorded.empty() && ::lstat(std::string(recorded).c_str(), &st) == 0) return std::string(recorded);
  }
  const std::string_view base = RecordedBaseName(recorded);
  if (!IsSafeBaseName(base)) return std::string(recorded);
  return Beside(deltaPath, base);
}

}  // namespace tarvo

TARVOCORE_API size_t TarvoRecordedTargetPath(const char* deltaPath, const char* recordedName, size_t recordedLength,
                                             char* out, size_t outSize) {
  if (recordedName == nullptr) return 0;
  return tarvo::Deliver(
      tarvo::RecordedTargetPath(deltaPath != nullptr ? deltaPath : "", std::string_view(recordedName, recordedLength)),
      out, outSize);
}

TARVOCORE_API size_t TarvoRecordedOriginalPath(const char* deltaPath, const char* recordedName, size_t recordedLength,
                                               char* out, size_t outSize) {
  if (recordedName == nullptr) return 0;
  return tarvo::Deliver(
      tarvo::RecordedOriginalPath(deltaPath != nullptr ? deltaPath : "", std::string_view(recordedName, recordedLength)),
      out, outSize);
}
