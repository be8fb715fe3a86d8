// The compressor and matcher choices of the options record: every choice is
// a way of writing the same format, so each file must inflate with plain
// zlib and rebuild the modified file, and callers that do not reach the
// choice fields must get the standard file byte for byte.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "DeltaFile.h"
#include "ReferenceMatcher.h"
#include "TarvoCore.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

constexpr uint32_t kWrittenFields = 20;

S_TARVO_CONSTRUCT_OPTIONS
Choice(int32_t matcher, int32_t compressor,
       uint32_t size = sizeof(S_TARVO_CONSTRUCT_OPTIONS)) {
  return {size, 43, 1, 1, 1, matcher, compressor};
}

class ConstructChoice : public ::testing::Test {
protected:
  Sandbox box;
  std::string orig = box.Path("orig.bin"), mod = box.Path("mod.bin"),
              delta = box.Path("out.mvr"), rebuilt = box.Path("rebuilt.bin");

  void Pair(unsigned seed, size_t size, int edits) {
    std::mt19937 rng(seed);
    o = RandomBytes(rng, size, 16);
    m = Mutate(rng, o, edits, 16);
    WriteFile(orig, o);
    WriteFile(mod, m);
  }
  // Blocks of `run` equal bytes and a random byte, and the same with every
  // random byte XOR 0x55: every probe of the standard matcher then matches
  // one byte short of a copy, the matchers' most expensive shape.
  void Runs(size_t run, size_t size) {
    std::mt19937 rng(static_cast<unsigned>(run));
    o.assign(size, 0);
    m.assign(size, 0);
    for (size_t i = run; i < size; i += run + 1) {
      o[i] = static_cast<uint8_t>(rng());
      m[i] = o[i] ^ 0x55;
    }
    WriteFile(orig, o);
    WriteFile(mod, m);
  }
  Bytes Build(const S_TARVO_CONSTRUCT_OPTIONS *opts) {
    EXPECT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(),
                                 nullptr, opts),
              TARVO_OK);
    return ReadFile(delta);
  }

  Bytes o, m;
};

// Each choice's file inflates with plain zlib to one stream ending with the
// file, and rebuilds the modified file; the standard matcher's records stay
// the standard records whatever deflates them. Edited random pairs of three
// sizes, and a megabyte of each shape of runs (an eighth of one under a
// sanitizer).
TEST_F(ConstructChoice, EveryChoiceWritesOneZlibStreamThatRebuilds) {
  struct Shape {
    size_t run;  // 0: an edited random pair
    size_t size;
  };
  // The runs of the crafted pairs cost the matcher time that grows with the
  // square of their size, the slowest path of the sanitizer run.
  constexpr size_t kCrafted = testsupport::kSanitizedBuild ? size_t{1} << 17 : size_t{1} << 20;
  const Shape shapes[] = {{0, 1}, {0, 3000}, {0, 300000}, {20, kCrafted}, {22, kCrafted}};
  for (const int32_t matcher :
       {TARVO_MATCHER_STANDARD, TARVO_MATCHER_THOROUGH}) {
    for (const int32_t compressor :
         {TARVO_COMPRESSOR_STANDARD, TARVO_COMPRESSOR_FAST,
          TARVO_COMPRESSOR_STRONGEST}) {
      for (const Shape& shape : shapes) {
        const size_t size = shape.size;
        SCOPED_TRACE(testing::Message()
                     << "matcher " << matcher << ", compressor " << compressor
                     << ", " << size << " bytes, runs of " << shape.run);
        if (shape.run == 0) {
          Pair(static_cast<unsigned>(size), size, size < 100 ? 0 : 40);
        } else {
          Runs(shape.run, size);
        }
        const S_TARVO_CONSTRUCT_OPTIONS opts = Choice(matcher, compressor);
        const Bytes file = Build(&opts);
        const ParsedDelta d = Parse(file);
        EXPECT_EQ(d.header.dwDeltaFileSize, file.size());
        EXPECT_EQ(d.header.dwDeltaCheckSum, FileCrc(file));
        // (The reference takes minutes over the runs; the matcher's tests
        // compare it on smaller ones.)
        if (matcher == TARVO_MATCHER_STANDARD && shape.run == 0) {
          EXPECT_EQ(d.code, reference::CodeStream(o, m));
        }
        // The stream ends exactly where the file does.
        z_stream zs{};
        ASSERT_EQ(inflateInit(&zs), Z_OK);
        Bytes out(d.code.size() + 1);
        zs.next_in = const_cast<Bytef *>(d.body.data());
        zs.avail_in = static_cast<uInt>(d.body.size());
        zs.next_out = out.data();
        zs.avail_out = static_cast<uInt>(out.size());
        EXPECT_EQ(inflate(&zs, Z_FINISH), Z_STREAM_END);
        EXPECT_EQ(zs.avail_in, 0u);
        inflateEnd(&zs);
        std::remove(rebuilt.c_str());
        ASSERT_EQ(ReconstructTargetFile(orig.c_str(), delta.c_str(),
                                        rebuilt.c_str(), nullptr, nullptr),
                  TARVO_OK);
        EXPECT_EQ(ReadFile(rebuilt), m);
      }
    }
  }
}

TEST_F(ConstructChoice, CallersThatDoNotReachAKnownChoiceGetTheStandardFile) {
  Pair(5, 200000, 60);
  const Bytes standard = Build(nullptr);
  struct Case {
    const char *what;
    S_TARVO_CONSTRUCT_OPTIONS opts;
  };
  const Case cases[] = {
      {"written fields only",
       Choice(TARVO_MATCHER_THOROUGH, TARVO_COMPRESSOR_FAST, kWrittenFields)},
      {"matcher reached, compressor not",
       Choice(TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_FAST,
              kWrittenFields + 4)},
      {"both standard",
       Choice(TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_STANDARD)},
      {"unknown choices", Choice(7, -1)},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Build(&c.opts), standard);
  }
  // Each known choice changes the bytes; were they equal, the choice would
  // not have been read at all.
  const S_TARVO_CONSTRUCT_OPTIONS fast =
      Choice(TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_FAST);
  EXPECT_NE(Build(&fast), standard);
  const S_TARVO_CONSTRUCT_OPTIONS thorough =
      Choice(TARVO_MATCHER_THOROUGH, TARVO_COMPRESSOR_STANDARD);
  const ParsedDelta t = Parse(Build(&thorough));
  EXPECT_NE(t.code, Parse(standard).code);
  EXPECT_LE(t.code.size(), Parse(standard).code.size());
}

// The whole-buffer compressors write after the matcher has finished, on the
// construction's own thread: a full disk and a cancel must end as they do
// with the standard one, leaving no file behind.
TEST_F(ConstructChoice,
       FullDiskAndCancelLeaveNothingWithTheWholeBufferCompressors) {
  for (const int32_t compressor :
       {TARVO_COMPRESSOR_FAST, TARVO_COMPRESSOR_STRONGEST}) {
    SCOPED_TRACE(testing::Message() << "compressor " << compressor);
    std::mt19937 rng(12);
    WriteFile(orig, RandomBytes(rng, 400000));
    WriteFile(mod, RandomBytes(rng, 400000));
    const S_TARVO_CONSTRUCT_OPTIONS opts =
        Choice(TARVO_MATCHER_STANDARD, compressor);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      struct rlimit lim {
        100000, 100000
      };
      ::setrlimit(RLIMIT_FSIZE, &lim);
      ::_exit(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(),
                                 nullptr, &opts));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), TARVO_ERR_WRITE_DELTA);
    EXPECT_FALSE(Exists(delta));

    S_TARVO_NOTIFY_INFO notify{};
    notify.dwMethod = TARVO_NOTIFY_FUNCTION;
    notify.pfnNotify = [](TypeNotifyEvent *e, uintptr_t) -> int32_t {
      return e->nKind == TARVO_EVENT_PROGRESS && e->dwDone >= e->dwTotal / 2 &&
             e->dwDone < e->dwTotal;
    };
    EXPECT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(),
                                 &notify, &opts),
              TARVO_ERR_CANCELLED);
    EXPECT_FALSE(Exists(delta));
    EXPECT_TRUE(box.TempFilesLeft().empty());
  }
}

} // namespace
