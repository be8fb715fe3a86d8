// Inputs and outputs of engine runs in a private folder, made and checked
// with real core calls.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "TarvoCore.h"
#include "TestSupport.h"

namespace enginetest {

using testsupport::Bytes;

struct Job {
  std::string original, modified, delta, rebuilt;
  Bytes modifiedBytes;
};

class JobFiles {
 public:
  // Big enough for the core to report many progress checkpoints.
  static constexpr size_t kSize = 120000;

  // Original and modified file of job `name`; the delta is not made yet.
  Job Make(const std::string& name, unsigned seed) {
    std::mt19937 rng(seed);
    const Bytes original = testsupport::RandomBytes(rng, kSize, 16);
    Job job{box.Path(name + ".orig"), box.Path(name + ".mod"), box.Path(name + ".mvr"), box.Path(name + ".out"),
            testsupport::Mutate(rng, original, 60, 16)};
    testsupport::WriteFile(job.original, original);
    testsupport::WriteFile(job.modified, job.modifiedBytes);
    return job;
  }

  // Also the difference file, made directly on this thread.
  Job MakeWithDelta(const std::string& name, unsigned seed) {
    Job job = Make(name, seed);
    if (ConstructDeltaFile(job.original.c_str(), job.modified.c_str(), job.delta.c_str(), nullptr, nullptr) !=
        TARVO_OK) {
      throw std::runtime_error("cannot make " + job.delta);
    }
    return job;
  }

  // Whether job.delta exists and rebuilds the modified file.
  bool DeltaRebuildsModified(const Job& job) {
    if (!testsupport::Exists(job.delta)) return false;
    const std::string check = job.rebuilt + ".check";
    const bool ok =
        ReconstructTargetFile(job.original.c_str(), job.delta.c_str(), check.c_str(), nullptr, nullptr) == TARVO_OK &&
        testsupport::ReadFile(check) == job.modifiedBytes;
    ::unlink(check.c_str());
    return ok;
  }

  bool RebuiltIsModified(const Job& job) {
    return testsupport::Exists(job.rebuilt) && testsupport::ReadFile(job.rebuilt) == job.modifiedBytes;
  }

  testsupport::Sandbox box;
};

}  // namespace enginetest
