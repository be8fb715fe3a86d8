#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include <gtest/gtest.h>

#include "DeltaFile.h"
#include "ReferenceMatcher.h"
#include "TarvoCore.h"
#include "TestSupport.h"
#include "platform/StringTable.h"

using namespace testsupport;

namespace {

class Construct : public ::testing::Test {
 protected:
  Sandbox box;
  std::string orig = box.Path("orig.bin"), mod = box.Path("mod.bin"), delta = box.Path("out.mvr");

  E_TARVO_ERROR Build(const S_TARVO_CONSTRUCT_OPTIONS* opts = nullptr, const S_TARVO_NOTIFY_INFO* n = nullptr) {
    return ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), n, opts);
  }
};

TEST_F(Construct, WritesTheFormatExactly) {
  struct Pair {
    size_t size;
    int edits;
  };
  for (const Pair p : {Pair{2000, 5}, Pair{70000, 30}, Pair{300000, 200}}) {
    std::mt19937 rng(static_cast<unsigned>(p.size));
    const Bytes o = RandomBytes(rng, p.size, 16);
    const Bytes m = Mutate(rng, o, p.edits, 16);
    WriteFile(orig, o);
    WriteFile(mod, m);
    ASSERT_EQ(Build(), TARVO_OK);
    const Bytes file = ReadFile(delta);
    const ParsedDelta d = Parse(file);
    const TypeHeadDeltaFile& h = d.header;
    EXPECT_EQ(std::memcmp(h.chMagic, "mvr8", 4), 0);
    EXPECT_EQ(std::memcmp(h.chSignature, "Lumenfold#000002", 16), 0);
    EXPECT_EQ(h.dwDeltaFileSize, file.size());
    EXPECT_EQ(h.dwDeltaCheckSum, FileCrc(file));
    EXPECT_EQ(h.dwReferenceFileSize, o.size());
    EXPECT_EQ(h.dwTargetFileSize, m.size());
    EXPECT_EQ(h.dwReferenceFileCheckSum, Crc(o));
    EXPECT_EQ(h.dwTargetFileCheckSum, Crc(m));
    EXPECT_EQ(h.dwReserved, 0u);
    EXPECT_EQ(h.dwCodeOffset, 56u + d.originalName.size() + d.modifiedName.size());
    EXPECT_EQ(d.originalName, orig);  // the sandbox path is already absolute
    EXPECT_EQ(d.modifiedName, mod);
    EXPECT_EQ(d.code, reference::CodeStream(o, m));
    // One zlib stream at level 9 with the default window, memory and strategy.
    Bytes expected(compressBound(static_cast<uLong>(d.code.size())));
    uLongf n = expected.size();
    ASSERT_EQ(compress2(expected.data(), &n, d.code.data(), static_cast<uLong>(d.code.size()), 9), Z_OK);
    expected.resize(n);
    EXPECT_EQ(d.body, expected);
    EXPECT_TRUE(box.TempFilesLeft().empty());
  }
}

TEST_F(Construct, IdenticalPathsGiveOneCopy) {
  WriteFile(orig, Bytes(1000, 7));
  ASSERT_EQ(ConstructDeltaFile(orig.c_str(), orig.c_str(), delta.c_str(), nullptr, nullptr), TARVO_OK);
  EXPECT_EQ(Parse(ReadFile(delta)).code, (Bytes{0x00, 0x00, 0xE8, 0x03}));
}

TEST_F(Construct, OptionsAreReadUpToTheirSize) {
  std::mt19937 rng(9);
  WriteFile(orig, RandomBytes(rng, 5000));
  WriteFile(mod, RandomBytes(rng, 5000));
  // dwSize 8 reaches only the speed, which changes nothing: full names stay.
  S_TARVO_CONSTRUCT_OPTIONS o{8, 99, 0, 0, 0, 0, 0};
  ASSERT_EQ(Build(&o), TARVO_OK);
  const Bytes first = ReadFile(delta);
  EXPECT_EQ(Parse(first).originalName, orig);
  o = {0, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(Build(&o), TARVO_OK);
  EXPECT_EQ(ReadFile(delta), first);
  // Bare names on request, and an oversized record is read only up to its fields.
  struct {
    S_TARVO_CONSTRUCT_OPTIONS o;
    uint32_t extra;
  } longer{{sizeof(S_TARVO_CONSTRUCT_OPTIONS) + 4, 43, 0, 0, 1, 0, 0}, 0xFFFFFFFF};
  ASSERT_EQ(Build(&longer.o), TARVO_OK);
  const ParsedDelta d = Parse(ReadFile(delta));
  EXPECT_EQ(d.originalName, "orig.bin");
  EXPECT_EQ(d.modifiedName, "mod.bin");
  // A name given for the modified file is recorded as it is, whatever the
  // path it is read under; a record that ends before it forms the name.
  S_TARVO_CONSTRUCT_OPTIONS named{sizeof(S_TARVO_CONSTRUCT_OPTIONS), 43, 0, 1, 1, 0, 0};
  named.pszTargetName = "given name";
  ASSERT_EQ(Build(&named), TARVO_OK);
  EXPECT_EQ(Parse(ReadFile(delta)).modifiedName, "given name");
  named.dwSize = offsetof(S_TARVO_CONSTRUCT_OPTIONS, pszTargetName);
  ASSERT_EQ(Build(&named), TARVO_OK);
  EXPECT_EQ(Parse(ReadFile(delta)).modifiedName, mod);
}

// What the user gets and what stays on disk after each failure.
enum class Left { Nothing, Partial, Untouched };

struct Failure {
  const char* name;
  E_TARVO_ERROR code;
  Left left;
};

TEST_F(Construct, FailuresLeaveTheWrittenFiles) {
  const Bytes data(3000, 1);
  auto run = [&](const Failure& f, const std::string& o, const std::string& m, const std::string& d,
                 const S_TARVO_CONSTRUCT_OPTIONS* opts = nullptr) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(ConstructDeltaFile(o.c_str(), m.c_str(), d.c_str(), nullptr, opts), f.code);
    switch (f.left) {
      case Left::Nothing:
        EXPECT_FALSE(Exists(d));
        break;
      case Left::Partial: {
        // Placeholder header and the names that were formed, nothing more.
        const Bytes file = ReadFile(d);
        ASSERT_GE(file.size(), 56u);
        EXPECT_EQ(std::memcmp(file.data() + 4, "mvr8", 4), 0);
        EXPECT_EQ(file[0] | file[1] | file[2] | file[3], 0);
        break;
      }
      case Left::Untouched:
        break;
    }
    EXPECT_TRUE(box.TempFilesLeft().empty());
    if (f.left != Left::Untouched) ::unlink(d.c_str());
  };
  const std::string missing = box.Path("missing.bin"), empty = box.Path("empty.bin");
  WriteFile(orig, data);
  WriteFile(mod, data);
  WriteFile(empty, {});
  ::mkdir(box.Path("folder").c_str(), 0700);

  run({"missing original", TARVO_ERR_OPEN_ORIGINAL, Left::Partial}, missing, mod, delta);
  run({"both missing", TARVO_ERR_OPEN_MODIFIED, Left::Partial}, missing, box.Path("missing2"), delta);
  run({"same missing path", TARVO_ERR_OPEN_ORIGINAL, Left::Partial}, missing, missing, delta);
  run({"path through a file", TARVO_ERR_OPEN_ORIGINAL, Left::Partial}, orig + "/x", mod, delta);
  run({"empty original", TARVO_ERR_NO_MEMORY, Left::Partial}, empty, mod, delta);
  run({"empty modified", TARVO_ERR_NO_MEMORY, Left::Partial}, orig, empty, delta);
  run({"folder as input", TARVO_ERR_OPEN_ORIGINAL, Left::Partial}, box.Path("folder"), mod, delta);
  run({"output in a missing folder", TARVO_ERR_OPEN_DELTA, Left::Nothing}, orig, mod, box.Path("no/out.mvr"));
  S_TARVO_CONSTRUCT_OPTIONS bare{20, 43, 1, 0, 1, 0, 0};
  run({"empty stored name", TARVO_ERR_NO_MEMORY, Left::Partial}, orig, box.Path("folder") + "/", delta, &bare);
  const std::string longName = box.Path(std::string(260, 'n'));
  run({"full name too long", TARVO_ERR_NO_MEMORY, Left::Partial}, longName, mod, delta);

  // An output that is one of the inputs is refused before anything is written.
  run({"output is the modified file", TARVO_ERR_OPEN_DELTA, Left::Untouched}, orig, mod, mod);
  EXPECT_EQ(ReadFile(mod), data);
  run({"output is the original file", TARVO_ERR_OPEN_DELTA, Left::Untouched}, orig, mod, orig);
  EXPECT_EQ(ReadFile(orig), data);
}

TEST_F(Construct, MissingTempFolderFailsWithoutFallbackAndLeavesNothing) {
  WriteFile(orig, Bytes(3000, 1));
  WriteFile(mod, Bytes(3000, 2));
  ::setenv("TMPDIR", box.Path("gone").c_str(), 1);
  EXPECT_EQ(Build(), TARVO_ERR_CREATE_OUTPUT);
  // A half-made difference file would only be in the way of the next run.
  EXPECT_FALSE(Exists(delta));
}

TEST_F(Construct, FullDiskRemovesBothFiles) {
  std::mt19937 rng(10);
  WriteFile(orig, RandomBytes(rng, 400000));
  WriteFile(mod, RandomBytes(rng, 400000));
  // A file size limit makes every write past it fail, as a full disk does.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim {100000, 100000};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    ::_exit(Build());
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), TARVO_ERR_WRITE_DELTA);
  EXPECT_FALSE(Exists(delta));
  EXPECT_TRUE(box.TempFilesLeft().empty());
}

// The compressor thread writes to both files until it is joined: a cancel
// must stop and join it before either file is closed or removed.
TEST_F(Construct, CancelWhileTheCompressorIsBusy) {
  std::mt19937 rng(11);
  WriteFile(orig, RandomBytes(rng, 2 << 20));
  WriteFile(mod, RandomBytes(rng, 2 << 20));  // unrelated: a long code stream to deflate
  S_TARVO_NOTIFY_INFO notify{};
  notify.dwMethod = TARVO_NOTIFY_FUNCTION;
  notify.pfnNotify = [](TypeNotifyEvent* e, uintptr_t) -> int32_t {
    return e->nKind == TARVO_EVENT_PROGRESS && e->dwDone >= e->dwTotal / 2 && e->dwDone < e->dwTotal;
  };
  EXPECT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), &notify, nullptr), TARVO_ERR_CANCELLED);
  EXPECT_FALSE(Exists(delta));
  EXPECT_TRUE(box.TempFilesLeft().empty());
}

TEST(CoreMessages, ReachableByIdWithTheirExactWords) {
  char buf[150];
  const std::pair<unsigned, const char*> cases[] = {
      {11000, "Successful completion"},
      {11015, "The specified file is not  a difference file or the difference file is corrupted"},
      {11016, "The processing is breaked by the message handler"},
  };
  for (auto [id, text] : cases) {
    ASSERT_GT(platform::LoadModuleString(kTarvoCoreModule, id, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, text);
  }
  for (unsigned id = 11000; id < 11018; ++id)
    EXPECT_GT(platform::LoadModuleString(kTarvoCoreModule, id, buf, sizeof buf), 0) << id;
  EXPECT_EQ(platform::LoadModuleString(kTarvoCoreModule, 11018, buf, sizeof buf), 0);
  EXPECT_EQ(platform::LoadModuleString(kTarvoCoreModule, 10999, buf, sizeof buf), 0);
  EXPECT_EQ(platform::LoadModuleString("NoSuchModule", 11000, buf, sizeof buf), 0);
  // Longer texts are cut to the buffer, as a resource load would.
  EXPECT_EQ(platform::LoadModuleString(kTarvoCoreModule, 11017, buf, 10), 9);
  EXPECT_STREQ(buf, "The messa");
}

}  // namespace
