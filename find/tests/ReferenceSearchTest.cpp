// The walk behind the search dialog, on real folder trees.
#include "ReferenceSearch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "MvrCodec.h"
#include "TestSupport.h"

namespace {

using testsupport::Bytes;

// Counts folders and can stop the walk on entering the n-th one.
class RecordingHost final : public mvrfind::ISearchHost {
 public:
  explicit RecordingHost(int stopAtFolder = -1) : m_nStopAt(stopAtFolder) {}
  bool KeepGoing() override { return m_nStopAt < 0 || static_cast<int>(folders.size()) < m_nStopAt; }
  void EnterFolder(const std::string& folder) override { folders.push_back(folder); }
  std::vector<std::string> folders;

 private:
  int m_nStopAt;
};

uint32_t Crc(char version, const Bytes& data) {
  return MvrChecksum(version, 0, data.data(), data.size());
}

class ReferenceSearchTest : public ::testing::Test {
 protected:
  ReferenceSearchTest() : original_(Bytes{'o', 'r', 'i', 'g', 'i', 'n', 'a', 'l', '\n'}) {}

  std::string Dir(const std::string& relative) {
    std::string path = box_.Root();
    size_t from = 0;
    while (from <= relative.size()) {
      const size_t slash = relative.find('/', from);
      path += "/" + relative.substr(from, slash - from);
      ::mkdir(path.c_str(), 0700);
      if (slash == std::string::npos) break;
      from = slash + 1;
    }
    return path;
  }
  std::string File(const std::string& relative, const Bytes& data) {
    const size_t slash = relative.rfind('/');
    if (slash != std::string::npos) Dir(relative.substr(0, slash));
    testsupport::WriteFile(box_.Path(relative), data);
    return box_.Path(relative);
  }
  mvrfind::SearchRequest Request(const std::string& name, char version = kDeltaVersion2) {
    mvrfind::SearchRequest request;
    request.name = name;
    request.startFolder = box_.Root();
    request.size = static_cast<uint32_t>(original_.size());
    request.checksum = Crc(version, original_);
    request.version = version;
    return request;
  }

  testsupport::Sandbox box_;
  Bytes original_;
};

TEST_F(ReferenceSearchTest, MatchingEntriesOfAFolderComeBeforeItsSubfolders) {
  // Whatever order the folder lists its entries in, the copy at each level
  // is tried before anything deeper.
  File("a/b/orig.bin", original_);
  const std::string wanted = File("a/orig.bin", original_);
  File("c/d/e/orig.bin", original_);
  for (const char* name : {"aa", "zz", "c/q"}) Dir(name);

  RecordingHost host;
  mvrfind::SearchRequest request = Request("orig.bin");
  request.startFolder = box_.Path("a");
  mvrfind::CReferenceSearch search(request, host);
  ASSERT_EQ(search.Run(), MVRFIND_FOUND);
  EXPECT_EQ(search.FoundPath(), wanted);
  EXPECT_EQ(host.folders, std::vector<std::string>{box_.Path("a")});

  // From the root the walk must go deep first: the only copy at depth one
  // sits in "a", so whichever subfolder is listed first, the result is "a"'s
  // copy and "c/d/e" is reached only if "c" came first.
  RecordingHost fromRoot;
  mvrfind::CReferenceSearch whole(Request("orig.bin"), fromRoot);
  ASSERT_EQ(whole.Run(), MVRFIND_FOUND);
  EXPECT_TRUE(whole.FoundPath() == wanted || whole.FoundPath() == box_.Path("c/d/e/orig.bin"))
      << whole.FoundPath();
  EXPECT_EQ(fromRoot.folders.front(), box_.Root());
}

TEST_F(ReferenceSearchTest, NamePatterns) {
  struct Case {
    const char* typed;
    const char* fileOnDisk;
    bool found;
  };
  const Case cases[] = {
      {"orig.bin", "deep/orig.bin", true},
      {"ORIG.BIN", "deep/orig.bin", true},
      {"*.bin", "deep/orig.bin", true},
      {"or?g.*", "deep/orig.bin", true},
      {"*.*", "deep/README", true},
      {"/some/old/folder/orig.bin", "deep/orig.bin", true},  // the typed folder is dropped
      {"other.bin", "deep/orig.bin", false},
      {"*.txt", "deep/orig.bin", false},
  };
  for (const Case& c : cases) {
    testsupport::RemoveTree(box_.Path("deep"));
    const std::string wanted = File(c.fileOnDisk, original_);
    RecordingHost host;
    mvrfind::CReferenceSearch search(Request(c.typed), host);
    const CMvrFindResult result = search.Run();
    EXPECT_EQ(result, c.found ? MVRFIND_FOUND : MVRFIND_NOT_FOUND) << c.typed;
    if (c.found) {
      EXPECT_EQ(search.FoundPath(), wanted) << c.typed;
    }
  }
}

TEST_F(ReferenceSearchTest, SizeIsTestedBeforeTheChecksumIsComputed) {
  Bytes longer = original_;
  longer.push_back('!');
  Bytes sameSizeOtherBytes = original_;
  sameSizeOtherBytes[0] = 'O';
  File("one/x.bin", longer);
  File("two/x.bin", sameSizeOtherBytes);
  const std::string wanted = File("three/x.bin", original_);

  std::vector<std::string> checksummed;
  auto counting = [&](const std::string& path, char version, uint64_t size, uint32_t* crc) {
    checksummed.push_back(path);
    return mvrfind::ChecksumFile(path, version, size, crc);
  };
  RecordingHost host;
  mvrfind::CReferenceSearch search(Request("x.bin"), host, counting);
  ASSERT_EQ(search.Run(), MVRFIND_FOUND);
  EXPECT_EQ(search.FoundPath(), wanted);
  for (const std::string& path : checksummed) EXPECT_NE(path, box_.Path("one/x.bin"));
  EXPECT_EQ(checksummed.back(), wanted);
}

TEST_F(ReferenceSearchTest, TheVersionByteSelectsTheChecksumRoutine) {
  ASSERT_NE(Crc(kDeltaVersion1, original_), Crc(kDeltaVersion2, original_));
  const std::string wanted = File("orig.bin", original_);
  for (char version : {kDeltaVersion1, kDeltaVersion2}) {
    RecordingHost host;
    mvrfind::CReferenceSearch search(Request("orig.bin", version), host);
    EXPECT_EQ(search.Run(), MVRFIND_FOUND) << version;
    EXPECT_EQ(search.FoundPath(), wanted);

    // The other routine's value for the same file is no match.
    mvrfind::SearchRequest crossed = Request("orig.bin", version);
    crossed.checksum = Crc(version == kDeltaVersion1 ? kDeltaVersion2 : kDeltaVersion1, original_);
    mvrfind::CReferenceSearch wrong(crossed, host);
    EXPECT_EQ(wrong.Run(), MVRFIND_NOT_FOUND) << version;
  }
}

TEST_F(ReferenceSearchTest, AnEmptyOriginalHasChecksumZero) {
  const std::string wanted = File("sub/empty.dat", Bytes{});
  mvrfind::SearchRequest request = Request("empty.dat");
  request.size = 0;
  request.checksum = 0;
  RecordingHost host;
  mvrfind::CReferenceSearch search(request, host);
  EXPECT_EQ(search.Run(), MVRFIND_FOUND);
  EXPECT_EQ(search.FoundPath(), wanted);
}

TEST_F(ReferenceSearchTest, OnlyReadableRegularFilesAreCandidates) {
  // Each decoy has the right name and the right size. A folder would end
  // the walk with a read error, a FIFO would block it forever, an unreadable
  // file is no use to reconstruction; the real copy further on must win.
  struct Decoy {
    const char* kind;
    std::function<void(const std::string&)> make;
  };
  const Decoy decoys[] = {
      {"folder", [](const std::string& path) { ::mkdir(path.c_str(), 0700); }},
      {"fifo", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); }},
      {"unreadable",
       [](const std::string& path) {
         testsupport::WriteFile(path, Bytes(9, 'u'));
         ::chmod(path.c_str(), 0);
       }},
  };
  for (const Decoy& decoy : decoys) {
    testsupport::RemoveTree(box_.Path("t"));
    const std::string decoyPath = Dir("t/a") + "/orig.bin";
    decoy.make(decoyPath);
    struct stat st {};
    ASSERT_EQ(::lstat(decoyPath.c_str(), &st), 0) << decoy.kind;
    if (S_ISREG(st.st_mode) && ::access(decoyPath.c_str(), R_OK) == 0) continue;  // root reads anyway
    const Bytes real(static_cast<size_t>(st.st_size), 'r');
    const std::string wanted = File("t/a/z/orig.bin", real);

    mvrfind::SearchRequest request = Request("orig.bin");
    request.startFolder = box_.Path("t");
    request.size = static_cast<uint32_t>(real.size());
    request.checksum = Crc(kDeltaVersion2, real);
    RecordingHost host;
    mvrfind::CReferenceSearch search(request, host);
    EXPECT_EQ(search.Run(), MVRFIND_FOUND) << decoy.kind;
    EXPECT_EQ(search.FoundPath(), wanted) << decoy.kind;
  }
}

TEST_F(ReferenceSearchTest, TheChecksumReadsOnlyARegularFileOfTheSizeLookedFor) {
  // What the walk saw may be swapped before the checksum opens it: each of
  // these stands at the path by then. A FIFO would block the open or the
  // read for good, /dev/zero would be read for ever, a folder would end the
  // walk with a read error.
  const std::string file = File("orig.bin", original_);
  ASSERT_EQ(::mkfifo(box_.Path("fifo").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("/dev/zero", box_.Path("zero").c_str()), 0);
  ASSERT_EQ(::symlink(file.c_str(), box_.Path("link").c_str()), 0);
  Dir("folder");
  const uint64_t size = original_.size();
  const struct {
    const char* name;
    uint64_t size;
    mvrfind::ReadOutcome outcome;
  } cases[] = {
      {"orig.bin", size, mvrfind::ReadOutcome::Ok},
      {"orig.bin", size + 1, mvrfind::ReadOutcome::CannotOpen},
      {"fifo", 0, mvrfind::ReadOutcome::CannotOpen},
      {"zero", 0, mvrfind::ReadOutcome::CannotOpen},
      {"link", size, mvrfind::ReadOutcome::CannotOpen},
      {"folder", 0, mvrfind::ReadOutcome::CannotOpen},
  };
  for (const auto& c : cases) {
    uint32_t crc = 7;
    EXPECT_EQ(mvrfind::ChecksumFile(box_.Path(c.name), kDeltaVersion2, c.size, &crc), c.outcome) << c.name;
    EXPECT_EQ(crc, c.outcome == mvrfind::ReadOutcome::Ok ? Crc(kDeltaVersion2, original_) : 7u) << c.name;
  }
}

TEST_F(ReferenceSearchTest, LinksToFilesAreCandidatesLinksToFoldersAreNotEntered) {
  const std::string target = File("elsewhere/orig.bin", original_);
  Dir("tree/inner");
  ASSERT_EQ(::symlink(target.c_str(), box_.Path("tree/inner/linked.bin").c_str()), 0);
  // A loop back to the top: followed, it would never end.
  ASSERT_EQ(::symlink(box_.Path("tree").c_str(), box_.Path("tree/inner/loop").c_str()), 0);

  RecordingHost host;
  mvrfind::SearchRequest request = Request("linked.bin");
  request.startFolder = box_.Path("tree");
  mvrfind::CReferenceSearch search(request, host);
  ASSERT_EQ(search.Run(), MVRFIND_FOUND);
  EXPECT_EQ(search.FoundPath(), box_.Path("tree/inner/linked.bin"));

  RecordingHost missing;
  request.name = "absent.bin";
  mvrfind::CReferenceSearch none(request, missing);
  EXPECT_EQ(none.Run(), MVRFIND_NOT_FOUND);
  EXPECT_EQ(missing.folders,
            (std::vector<std::string>{box_.Path("tree"), box_.Path("tree/inner")}));
}

TEST_F(ReferenceSearchTest, StopEndsTheWalkAtTheNextFolder) {
  for (int i = 0; i < 10; ++i) Dir("d" + std::to_string(i) + "/e");
  File("d9/e/orig.bin", original_);

  RecordingHost host(/*stopAtFolder=*/4);
  mvrfind::CReferenceSearch search(Request("orig.bin"), host);
  EXPECT_EQ(search.Run(), MVRFIND_CANCELLED);
  EXPECT_EQ(host.folders.size(), 4u);
  EXPECT_TRUE(search.FoundPath().empty());
}

TEST_F(ReferenceSearchTest, NothingFoundSearchesEveryFolder) {
  for (const char* name : {"t/a/b/c", "t/a/d", "t/e"}) Dir(name);
  File("t/a/b/orig.bin", Bytes{'x'});
  RecordingHost host;
  mvrfind::SearchRequest tree = Request("orig.bin");
  tree.startFolder = box_.Path("t");
  mvrfind::CReferenceSearch search(tree, host);
  EXPECT_EQ(search.Run(), MVRFIND_NOT_FOUND);
  EXPECT_EQ(host.folders.size(), 6u);  // the start and its five folders

  RecordingHost nowhere;
  mvrfind::SearchRequest request = Request("orig.bin");
  request.startFolder = box_.Path("no such folder");
  mvrfind::CReferenceSearch missing(request, nowhere);
  EXPECT_EQ(missing.Run(), MVRFIND_NOT_FOUND);
}

TEST_F(ReferenceSearchTest, AReadErrorEndsTheWalk) {
  File("a/orig.bin", original_);
  File("b/orig.bin", original_);
  auto failing = [](const std::string&, char, uint64_t, uint32_t*) { return mvrfind::ReadOutcome::ReadError; };
  RecordingHost host;
  mvrfind::CReferenceSearch search(Request("orig.bin"), host, failing);
  EXPECT_LT(search.Run(), 0);
  EXPECT_TRUE(search.FoundPath().empty());
}

}  // namespace

// The kernel's own file systems are told by their type in the mount table,
// wherever they are mounted; devtmpfs shares tmpfs's magic number, so only
// the table tells them apart.
TEST(PseudoFileSystems, TakenFromTheMountTableByType) {
  const std::string table =
      "22 1 0:21 / /proc rw,nosuid shared:12 - proc proc rw\n"
      "23 1 0:22 / /anywhere/sys rw shared:7 - sysfs sysfs rw\n"
      "24 1 0:5 / /dev rw shared:2 - devtmpfs udev rw,size=100k\n"
      "25 1 0:23 / /tmp rw - tmpfs tmpfs rw\n"
      "26 1 8:1 / / rw,relatime shared:1 master:3 - ext4 /dev/sda1 rw\n"
      "not a mount line\n";
  const auto pseudo = mvrfind::CPseudoFileSystems::FromMountInfo(table);
  EXPECT_TRUE(pseudo.HoldsDevice(makedev(0, 21)));
  EXPECT_TRUE(pseudo.HoldsDevice(makedev(0, 22)));
  EXPECT_TRUE(pseudo.HoldsDevice(makedev(0, 5)));
  EXPECT_FALSE(pseudo.HoldsDevice(makedev(0, 23)));
  EXPECT_FALSE(pseudo.HoldsDevice(makedev(8, 1)));
}

TEST_F(ReferenceSearchTest, NeverEntersTheProcessFileSystem) {
  struct stat st {};
  if (::stat("/proc/self", &st) != 0) GTEST_SKIP() << "no /proc here";
  mvrfind::SearchRequest request = Request("status");
  request.startFolder = "/proc";
  RecordingHost host;
  mvrfind::CReferenceSearch search(request, host);
  EXPECT_EQ(search.Run(), MVRFIND_NOT_FOUND);
  EXPECT_TRUE(host.folders.empty());

  // An ordinary tree is still walked.
  File("a/b/original.bin", original_);
  RecordingHost walked;
  mvrfind::CReferenceSearch ordinary(Request("original.bin"), walked);
  EXPECT_EQ(ordinary.Run(), MVRFIND_FOUND);
  EXPECT_FALSE(walked.folders.empty());
}
