// How the whole-buffer compressor fails, and which result code each failure
// becomes: running out of memory must read as memory, not as a full disk.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <new>

#include "CompressOutcome.h"
#include "DeltaFile.h"
#include "PosixFile.h"
#include "TestSupport.h"
#include "WholeCompress.h"

using namespace testsupport;

namespace {

std::unique_ptr<uint8_t[]> NoMemory(size_t) { throw std::bad_alloc(); }

TEST(WholeCompress, EachFailureGivesItsOwnOutcomeAndCode) {
  Sandbox box;
  std::mt19937 rng(5);
  const Bytes code = RandomBytes(rng, 300000, 4);
  WriteFile(box.Path("code"), code);

  struct Case {
    const char* what;
    uint64_t size;                // of the code, as the caller states it
    bool readOnlyDelta;           // the difference file refuses writes
    tarvo::OutputAllocator allocate;
    tarvo::CompressOutcome outcome;
    E_TARVO_ERROR error;
  };
  const Case cases[] = {
      {"success", code.size(), false, tarvo::AllocateOutput, tarvo::CompressOutcome::kDone, TARVO_OK},
      {"no memory for the output", code.size(), false, NoMemory, tarvo::CompressOutcome::kNoMemory,
       TARVO_ERR_NO_MEMORY},
      {"code shorter than stated", code.size() + (1 << 20), false, tarvo::AllocateOutput,
       tarvo::CompressOutcome::kReadFailed, TARVO_ERR_WRITE_DELTA},
      {"difference file not writable", code.size(), true, tarvo::AllocateOutput,
       tarvo::CompressOutcome::kWriteFailed, TARVO_ERR_WRITE_DELTA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tarvo::PosixFile codeFile, delta;
    ASSERT_TRUE(codeFile.Open(box.Path("code").c_str(), O_RDONLY));
    ASSERT_TRUE(delta.Open(box.Path("delta").c_str(), (c.readOnlyDelta ? O_RDONLY : O_RDWR) | O_CREAT | O_TRUNC));
    const tarvo::CompressOutcome outcome = tarvo::CompressCodeWhole(codeFile, c.size, 6, delta, c.allocate);
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(tarvo::ErrorFor(outcome), c.error);
    delta.Close();
    if (outcome == tarvo::CompressOutcome::kDone) {
      EXPECT_EQ(Inflate(ReadFile(box.Path("delta"))), code);
    }
  }
}

}  // namespace
