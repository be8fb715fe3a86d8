#include "platform/MappedFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <thread>
#include <vector>
#include <string>

#include "TestSupport.h"

namespace {

using platform::MappedFile;
using platform::MapStatus;
using testsupport::Bytes;
using testsupport::Sandbox;
using testsupport::WriteFile;

// Whether this process still maps `path` or holds a descriptor on it: a
// released mapping leaves neither behind.
bool ProcessHolds(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0) {
      return true;
    }
  }
  for (const auto& fd : testsupport::ListDir("/proc/self/fd")) {
    char target[4096];
    const ssize_t n = ::readlink(("/proc/self/fd/" + fd).c_str(), target, sizeof target);
    if (n > 0 && std::string(target, static_cast<size_t>(n)) == path) return true;
  }
  return false;
}

Bytes View(const MappedFile& m) { return Bytes(m.Data(), m.Data() + m.Size()); }

TEST(MappedFile, MapsTheWholeFile) {
  Sandbox box;
  const Bytes data{'m', 'e', 'n', 0, 0xff, 'd', '\n'};
  WriteFile(box.Path("small"), data);
  MappedFile m;
  ASSERT_EQ(m.Open(box.Path("small").c_str()), MapStatus::Ok);
  EXPECT_TRUE(m.IsOpen());
  EXPECT_EQ(View(m), data);
}

TEST(MappedFile, FailuresAreToldApartAndLeaveTheObjectClosed) {
  Sandbox box;
  WriteFile(box.Path("empty"), {});
  ::mkdir(box.Path("folder").c_str(), 0700);
  WriteFile(box.Path("before"), {1, 2, 3});
  const struct {
    const char* name;
    MapStatus expected;
  } cases[] = {
      {"missing", MapStatus::OpenFailed},
      {"empty", MapStatus::MappingFailed},
      {"folder", MapStatus::OpenFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Opened on a good file first, so a failure must also release that one.
    MappedFile m;
    ASSERT_EQ(m.Open(box.Path("before").c_str()), MapStatus::Ok);
    EXPECT_EQ(m.Open(box.Path(c.name).c_str()), c.expected);
    EXPECT_FALSE(m.IsOpen());
    EXPECT_EQ(m.Data(), nullptr);
    EXPECT_EQ(m.Size(), 0u);
    EXPECT_FALSE(ProcessHolds(box.Path("before")));
    EXPECT_FALSE(ProcessHolds(box.Path(c.name)));
  }
}

TEST(MappedFile, ReopeningReleasesTheFirstFile) {
  Sandbox box;
  const Bytes first(10000, 'a'), second{'x', 'y', 'z'};
  WriteFile(box.Path("first"), first);
  WriteFile(box.Path("second"), second);
  {
    MappedFile m;
    ASSERT_EQ(m.Open(box.Path("first").c_str()), MapStatus::Ok);
    ASSERT_TRUE(ProcessHolds(box.Path("first")));
    ASSERT_EQ(m.Open(box.Path("second").c_str()), MapStatus::Ok);
    EXPECT_EQ(View(m), second);
    EXPECT_FALSE(ProcessHolds(box.Path("first")));
  }
  EXPECT_FALSE(ProcessHolds(box.Path("second")));
}

}  // namespace

namespace {

// A file cut short under its view: reads past the new end see zeros and the
// view says so, on each thread for its own view.
TEST(MappedFile, ShrunkFileReadsAsZerosAndIsMarked) {
  Sandbox box;
  constexpr size_t kSize = 1 << 20;
  std::vector<std::thread> threads;
  std::atomic<int> marked{0};
  for (int t = 0; t < 4; ++t) {
    const std::string path = box.Path("f" + std::to_string(t));
    WriteFile(path, Bytes(kSize, 7));
    threads.emplace_back([path, &marked] {
      MappedFile m;
      if (m.Open(path.c_str()) != MapStatus::Ok) return;
      if (::truncate(path.c_str(), 5000) != 0) return;
      uint64_t sum = 0;
      for (size_t i = 0; i < kSize; i += 512) sum += m.Data()[i];
      // What is left of the file still reads; everything after the cut is zero.
      if (m.Faulted() && sum == 10 * 7) ++marked;  // the reads below 5000
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(marked.load(), 4);
  MappedFile whole;
  WriteFile(box.Path("whole"), Bytes(kSize, 1));
  ASSERT_EQ(whole.Open(box.Path("whole").c_str()), MapStatus::Ok);
  EXPECT_FALSE(whole.Faulted());
}

}  // namespace
