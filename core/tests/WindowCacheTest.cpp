// The windows over the original give exactly the bytes a direct read gives,
// and refuse what a direct read could not give.
#include <fcntl.h>

#include <gtest/gtest.h>

#include <random>

#include "PosixFile.h"
#include "TestSupport.h"
#include "WindowCache.h"

using namespace testsupport;
using tarvo::WindowCache;

namespace {

constexpr size_t W = WindowCache::kWindow;

TEST(WindowCache, GivesTheFilesBytesOrThrows) {
  Sandbox box;
  std::mt19937 rng(23);
  const size_t size = 40 * W + 123;  // the last window is a short one
  const Bytes data = RandomBytes(rng, size);
  WriteFile(box.Path("original"), data);
  tarvo::PosixFile file;
  ASSERT_TRUE(file.OpenRegular(box.Path("original").c_str()));
  WindowCache cache(file);

  const struct {
    const char* name;
    uint64_t offset;
    size_t n;
    bool fits;
  } cases[] = {
      {"start", 0, 100, true},
      {"inside the same window", 50, 200, true},
      {"to the window's last byte", 0, W, true},
      {"one past the window", 1, W, true},
      {"longer than a window", 3, 3 * W + 5, true},
      {"the file's last byte", size - 1, 1, true},
      {"up to the end, in the short window", size - 100, 100, true},
      {"one byte past the end", size - 100, 101, false},
      {"at the end", size, 1, false},
      {"far past the end", size * 3, 10, false},
      {"long, past the end", size - W, 2 * W, false},
      {"again after a refusal", size - 100, 100, true},
      {"nothing at the end", size, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes got(c.n + 1, 0xEE);
    if (!c.fits) {
      EXPECT_THROW(cache.Read(got.data(), c.n, c.offset), tarvo::CFileException);
      continue;
    }
    cache.Read(got.data(), c.n, c.offset);
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(c.n),
                           data.begin() + static_cast<std::ptrdiff_t>(c.offset)));
    EXPECT_EQ(got[c.n], 0xEE);  // nothing written past the bytes asked for
  }

  // Copies near earlier ones, as records make them, and far jumps that
  // push windows out.
  uint64_t at = 0;
  for (int i = 0; i < 20000; ++i) {
    const size_t n = 1 + rng() % (i % 50 == 0 ? 3 * W : 600);
    if (rng() % 8 == 0) at = rng() % size;
    at = std::min<uint64_t>(at, size - n);
    Bytes got(n);
    cache.Read(got.data(), n, at);
    ASSERT_TRUE(std::equal(got.begin(), got.end(), data.begin() + static_cast<std::ptrdiff_t>(at))) << i;
    at += n + rng() % 64;
  }
}

}  // namespace
