#include "platform/Files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <set>
#include <string>

#include "TestSupport.h"

namespace {

using testsupport::Sandbox;
using testsupport::WriteFile;

std::set<std::string> TempNamesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& n : testsupport::ListDir(dir)) {
    if (n.rfind("Mvr", 0) == 0) names.insert(n);
  }
  return names;
}

// All $TMPDIR cases in one test: several of them touch /tmp, and a test run
// in parallel must not see another's file there.
TEST(CreateTempFile, FolderFollowsTmpdir) {
  Sandbox box;  // sets $TMPDIR to <root>/tmp
  const std::string own = box.Root() + "/tmp";
  const struct {
    const char* label;
    std::optional<std::string> tmpdir;  // nullopt: unset
    std::string folder;                 // empty: creation fails
  } cases[] = {
      {"set", own, own},
      {"trailing slash", own + "/", own},
      {"empty", std::string(), "/tmp"},
      {"unset", std::nullopt, "/tmp"},
      {"missing folder", box.Path("missing"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    if (c.tmpdir) ::setenv("TMPDIR", c.tmpdir->c_str(), 1); else ::unsetenv("TMPDIR");
    const auto tmpBefore = TempNamesIn("/tmp"), ownBefore = TempNamesIn(own);
    std::string path = "untouched";
    errno = 0;
    const int fd = platform::CreateTempFile(&path);
    if (c.folder.empty()) {
      EXPECT_EQ(fd, -1);
      EXPECT_EQ(errno, ENOENT);
      EXPECT_EQ(path, "untouched");
      EXPECT_EQ(TempNamesIn("/tmp"), tmpBefore);
      EXPECT_EQ(TempNamesIn(own), ownBefore);
      EXPECT_FALSE(testsupport::Exists(box.Path("missing")));
      continue;
    }
    ASSERT_GE(fd, 0);
    const std::string prefix = c.folder + "/Mvr";
    EXPECT_EQ(path.rfind(prefix, 0), 0u) << path;
    EXPECT_EQ(path.size(), prefix.size() + 6) << path;

    // New, empty, and open for both reading and writing.
    struct stat st {};
    ASSERT_EQ(::fstat(fd, &st), 0);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_TRUE(platform::SameFile(path.c_str(), path.c_str()));
    ASSERT_EQ(::write(fd, "abc", 3), 3);
    ASSERT_EQ(::lseek(fd, 0, SEEK_SET), 0);
    char back[3] = {};
    EXPECT_EQ(::read(fd, back, 3), 3);
    EXPECT_EQ(std::string(back, 3), "abc");

    std::string second;
    const int fd2 = platform::CreateTempFile(&second);
    EXPECT_GE(fd2, 0);
    EXPECT_NE(second, path);
    ::close(fd);
    ::close(fd2);
    ::unlink(path.c_str());
    ::unlink(second.c_str());
  }
}

TEST(Files, ExistenceAndIdentity) {
  Sandbox box;
  const std::string file = box.Path("file"), twin = box.Path("twin"), dir = box.Path("dir");
  WriteFile(file, {1, 2, 3});
  WriteFile(twin, {1, 2, 3});  // same contents, another file
  ::mkdir(dir.c_str(), 0700);
  ASSERT_EQ(::link(file.c_str(), box.Path("hard").c_str()), 0);
  ASSERT_EQ(::symlink(file.c_str(), box.Path("soft").c_str()), 0);
  ASSERT_EQ(::symlink(box.Path("missing").c_str(), box.Path("dangling").c_str()), 0);

  EXPECT_TRUE(platform::FileExists(file.c_str()));
  EXPECT_TRUE(platform::FileExists(dir.c_str()));
  EXPECT_FALSE(platform::FileExists(box.Path("missing").c_str()));
  EXPECT_FALSE(platform::FileExists(nullptr));

  const struct {
    std::string a, b;
    bool same;
  } pairs[] = {
      {file, file, true},
      {file, box.Path("dir/../file"), true},
      {file, box.Path("hard"), true},
      {box.Path("soft"), file, true},
      {dir, dir + "/.", true},
      {file, twin, false},
      {file, dir, false},
      {file, box.Path("missing"), false},
      {box.Path("missing"), box.Path("missing"), false},
      {box.Path("dangling"), box.Path("dangling"), false},
  };
  for (const auto& p : pairs) {
    EXPECT_EQ(platform::SameFile(p.a.c_str(), p.b.c_str()), p.same) << p.a << " vs " << p.b;
  }
  EXPECT_FALSE(platform::SameFile(file.c_str(), nullptr));
  EXPECT_FALSE(platform::SameFile(nullptr, file.c_str()));
}

}  // namespace
