// Files, folders and generated inputs for the core's tests.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "TarvoTypes.h"

namespace testsupport {

// An unoptimised sanitizer build runs the same code many times slower. A
// test whose cost is its input size takes a smaller input there, still of
// the shape that shows its fault, while the optimised build checks the full
// size.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitizedBuild = true;
#else
inline constexpr bool kSanitizedBuild = false;
#endif

using Bytes = std::vector<uint8_t>;

inline void WriteFile(const std::string& path, const Bytes& data) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

inline Bytes ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

inline bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

inline std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    ::closedir(d);
  }
  return names;
}

inline void RemoveTree(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    for (const auto& n : ListDir(path)) RemoveTree(path + "/" + n);
    ::rmdir(path.c_str());
  } else {
    ::unlink(path.c_str());
  }
}

// A private folder for one test, with its own temporary-file folder under
// $TMPDIR so that a test can see whether a temporary file was left behind.
class Sandbox {
 public:
  Sandbox() {
    std::string tmpl = "/tmp/mvrtestXXXXXX";
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp");
    root_ = tmpl;
    tmp_ = root_ + "/tmp";
    ::mkdir(tmp_.c_str(), 0700);
    if (const char* old = ::getenv("TMPDIR")) savedTmp_ = old, hadTmp_ = true;
    ::setenv("TMPDIR", tmp_.c_str(), 1);
  }
  ~Sandbox() {
    if (hadTmp_) ::setenv("TMPDIR", savedTmp_.c_str(), 1); else ::unsetenv("TMPDIR");
    ::chmod(root_.c_str(), 0700);
    RemoveTree(root_);
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  std::string Path(const std::string& name) const { return root_ + "/" + name; }
  const std::string& Root() const { return root_; }
  std::vector<std::string> TempFilesLeft() const { return ListDir(tmp_); }

 private:
  std::string root_, tmp_, savedTmp_;
  bool hadTmp_ = false;
};

// One notification as a host saw it; the event itself lives only during delivery.
struct SeenEvent {
  int32_t kind;
  std::string name;
  uint32_t done, total;
  explicit SeenEvent(const TypeNotifyEvent& e) : kind(e.nKind), name(e.pszFileName), done(e.dwDone), total(e.dwTotal) {}
};

inline Bytes RandomBytes(std::mt19937& rng, size_t n, int alphabet = 256) {
  Bytes b(n);
  std::uniform_int_distribution<int> d(0, alphabet - 1);
  for (auto& x : b) x = static_cast<uint8_t>(d(rng));
  return b;
}

// A modified version of `original`: a mix of kept stretches, changed,
// inserted and deleted bytes, moved blocks and runs of one byte value.
inline Bytes Mutate(std::mt19937& rng, const Bytes& original, int edits, int alphabet = 256) {
  Bytes m = original;
  for (int e = 0; e < edits; ++e) {
    std::uniform_int_distribution<int> kind(0, 4);
    const size_t at = m.empty() ? 0 : rng() % (m.size() + 1);
    const size_t len = 1 + rng() % 300;
    switch (kind(rng)) {
      case 0: {  // insert new bytes
        Bytes ins = RandomBytes(rng, len, alphabet);
        m.insert(m.begin() + static_cast<long>(at), ins.begin(), ins.end());
        break;
      }
      case 1:  // delete
        m.erase(m.begin() + static_cast<long>(at),
                m.begin() + static_cast<long>(std::min(m.size(), at + len)));
        break;
      case 2:  // overwrite
        for (size_t i = at; i < std::min(m.size(), at + len); ++i) m[i] = static_cast<uint8_t>(rng() % alphabet);
        break;
      case 3: {  // copy a block from elsewhere in the original
        if (original.empty()) break;
        const size_t from = rng() % original.size();
        const size_t n = std::min(original.size() - from, len * 4);
        m.insert(m.begin() + static_cast<long>(at), original.begin() + static_cast<long>(from),
                 original.begin() + static_cast<long>(from + n));
        break;
      }
      default:  // a run of one value
        m.insert(m.begin() + static_cast<long>(at), len, static_cast<uint8_t>(rng() % alphabet));
    }
  }
  return m;
}

// Applies a code stream to original; throws on a malformed stream.
inline Bytes Decode(const Bytes& original, size_t modifiedSize, const Bytes& code) {
  auto width = [](uint64_t n) { unsigned w = 0; while (n) { ++w; n >>= 8; } return w; };
  const uint32_t so = static_cast<uint32_t>(original.size());
  const unsigned wo = width(so), wl = width(std::min<size_t>(so, modifiedSize)), wi = width(modifiedSize);
  Bytes out;
  size_t i = 0;
  auto get = [&](unsigned w) {
    if (i + w > code.size()) throw std::runtime_error("stream ends inside a record");
    uint32_t v = 0;
    for (unsigned k = 0; k < w; ++k) v |= static_cast<uint32_t>(code[i + k]) << (8 * k);
    i += w;
    return v;
  };
  while (i < code.size()) {
    const uint32_t off = get(wo);
    if (off >= so) {
      const uint32_t n = get(wi);
      if (i + n > code.size()) throw std::runtime_error("insert past the end");
      out.insert(out.end(), code.begin() + static_cast<long>(i), code.begin() + static_cast<long>(i + n));
      i += n;
    } else {
      const uint32_t n = get(wl);
      if (uint64_t{off} + n > so) throw std::runtime_error("copy past the original");
      out.insert(out.end(), original.begin() + off, original.begin() + off + n);
    }
  }
  return out;
}

}  // namespace testsupport
