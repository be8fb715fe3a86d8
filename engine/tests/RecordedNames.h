// Difference files whose recorded modified name was chosen by whoever made
// them, in a folder laid out for every way such a name can go wrong, and a
// record of each entry under that folder to tell afterwards what changed.
// Shared by every route that takes a name from a difference file.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "CraftedDelta.h"
#include "TestSupport.h"

namespace recordedtest {

using testsupport::Bytes;

// What the rule for recorded names makes of a name.
enum class Fate {
  Created,  // its base name is created beside the difference file
  Refused,  // nothing is created; the job fails with 4
  Taken,    // something has that name beside the difference file: asked, never replaced unasked
};

struct RecordedName {
  const char* what;
  std::string recorded;  // "@" stands for the scene's root folder
  Fate fate;
  std::string created;   // Created: the name that appears beside the difference file
};

inline void PrintTo(const RecordedName& name, std::ostream* os) { *os << name.what; }

// The names every route is tried with.
inline const std::vector<RecordedName>& RecordedNames() {
  static const std::vector<RecordedName> names = {
      {"absolute name in another folder", "@/elsewhere/new.bin", Fate::Created, "new.bin"},
      {"climbs out with ..", "../../somewhere/up.bin", Fate::Created, "up.bin"},
      {"nothing but ..", "..", Fate::Refused, ""},
      {"terminal escape", "new\x1b]0;owned\x07.bin", Fate::Refused, ""},
      {"NUL inside", std::string("new.bin\0/../../x", 16), Fate::Refused, ""},
      {"Windows name", "C:\\Users\\Ann\\new.bin", Fate::Created, "new.bin"},
      {"existing file", "@/d/keep.bin", Fate::Taken, ""},
      {"link to a file elsewhere", "@/d/link.bin", Fate::Taken, ""},
      {"dangling link", "dangling.bin", Fate::Taken, ""},
  };
  return names;
}

inline const Bytes kOriginal = {'o', 'r', 'i', 'g'};
inline const Bytes kModified = {'r', 'e', 'b', 'u', 'i', 'l', 't'};
inline const Bytes kKept = {'k', 'e', 'e', 'p'};
inline const Bytes kVictim = {'s', 'e', 'c', 'r', 'e', 't'};

// Under root:
//   d/          the difference file evil.mvr, its original orig.bin, keep.bin,
//               link.bin (to ../victim), dangling.bin (to ../planted), and
//               0first.mvr, first in the folder's listing, which records the
//               free name 0first.out and is never the one chosen
//   elsewhere/  an empty folder that absolute names point into
//   cwd/        where the test runs (WorkingFolder), so that a name taken
//               relative to the working folder shows up here
//   victim      a file outside the difference file's folder
class Scene {
 public:
  Scene(std::string root, const RecordedName& name) : root_(std::move(root)), name_(name) {
    for (const char* folder : {"d", "elsewhere", "cwd"}) Make(Path(folder));
    testsupport::WriteFile(Path("victim"), kVictim);
    testsupport::WriteFile(Path("d/keep.bin"), kKept);
    testsupport::WriteFile(Path("d/orig.bin"), kOriginal);
    if (::symlink(Path("victim").c_str(), Path("d/link.bin").c_str()) != 0 ||
        ::symlink(Path("planted").c_str(), Path("d/dangling.bin").c_str()) != 0) {
      throw std::runtime_error("symlink");
    }
    testsupport::WriteFile(Delta(), DeltaRecording(Recorded()));
    testsupport::WriteFile(Path("d/0first.mvr"), DeltaRecording(Path("d/0first.out")));
    before_ = Snapshot();
  }

  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }
  std::string Folder() const { return Path("d"); }
  std::string Delta() const { return Path("d/evil.mvr"); }
  std::string Recorded() const {
    std::string name = name_.recorded;
    if (!name.empty() && name[0] == '@') name.replace(0, 1, root_);
    return name;
  }
  // Where a Taken name's owner is: the name the user must be asked about.
  std::string TakenPath() const {
    const std::string recorded = Recorded();
    return Folder() + "/" + recorded.substr(recorded.find_last_of("/\\") + 1);
  }

  // What changed since the scene was laid out, one line per entry under the
  // root: "+ d/new.bin" (new), "- x" (gone), "~ x" (other contents, kind or
  // link target).
  std::vector<std::string> Changes() const {
    const auto after = Snapshot();
    std::vector<std::string> changes;
    for (const auto& [path, state] : after) {
      const auto was = before_.find(path);
      if (was == before_.end()) changes.push_back("+ " + path);
      else if (was->second != state) changes.push_back("~ " + path);
    }
    for (const auto& [path, state] : before_) {
      if (after.find(path) == after.end()) changes.push_back("- " + path);
    }
    return changes;
  }

  // What must have changed once the name has had its fate: the one new file
  // for Created, nothing otherwise.
  std::vector<std::string> ExpectedChanges() const {
    if (name_.fate != Fate::Created) return {};
    return {"+ d/" + name_.created};
  }
  bool CreatedHoldsTheModifiedFile() const {
    return name_.fate == Fate::Created && testsupport::ReadFile(Path("d/" + name_.created)) == kModified;
  }

 private:
  // A difference file for orig.bin that records `modified` and rebuilds kModified.
  Bytes DeltaRecording(const std::string& modified) const {
    // WO = 1, WI = 1: one insert record (an offset past the original, the
    // length, the bytes) rebuilds it all.
    Bytes code = {static_cast<uint8_t>(kOriginal.size()), static_cast<uint8_t>(kModified.size())};
    code.insert(code.end(), kModified.begin(), kModified.end());
    testsupport::Crafted c = testsupport::For(kOriginal, kModified, code);
    c.originalName = Path("d/orig.bin");
    c.modifiedName = modified;
    return testsupport::Build(c);
  }

  static void Make(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0) throw std::runtime_error("mkdir " + folder);
  }

  // Every entry under the root with its kind and contents or link target.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> entries;
    Walk("", entries);
    return entries;
  }
  void Walk(const std::string& relative, std::map<std::string, std::string>& entries) const {
    const std::string folder = relative.empty() ? root_ : Path(relative);
    for (const std::string& n : testsupport::ListDir(folder)) {
      const std::string rel = relative.empty() ? n : relative + "/" + n;
      struct stat st {};
      if (::lstat(Path(rel).c_str(), &st) != 0) continue;
      if (S_ISLNK(st.st_mode)) {
        char target[4096];
        const ssize_t len = ::readlink(Path(rel).c_str(), target, sizeof target);
        entries[rel] = "link " + std::string(target, static_cast<size_t>(len > 0 ? len : 0));
      } else if (S_ISDIR(st.st_mode)) {
        entries[rel] = "folder";
        Walk(rel, entries);
      } else {
        const Bytes bytes = testsupport::ReadFile(Path(rel));
        entries[rel] = "file " + std::string(bytes.begin(), bytes.end());
      }
    }
  }

  std::string root_;
  RecordedName name_;
  std::map<std::string, std::string> before_;
};

// Runs a test in a folder of its own and goes back afterwards, so that a
// name taken relative to the working folder lands where the test sees it.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& folder) {
    if (::getcwd(saved_, sizeof saved_) == nullptr || ::chdir(folder.c_str()) != 0) {
      throw std::runtime_error("chdir " + folder);
    }
  }
  // Nothing to report to from a destructor; the next test's paths would show it.
  ~WorkingFolder() { [[maybe_unused]] const int back = ::chdir(saved_); }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

 private:
  char saved_[4096];
};

}  // namespace recordedtest
