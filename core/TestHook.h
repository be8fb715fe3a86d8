// A point inside a reconstruction where tests change the file system, to
// show that nothing looked up by name before it is looked up again after it.
// Nothing in the core or in any program defines the function: only a test
// library does, so in every real run the weak reference is null.
#pragma once

extern "C" __attribute__((weak, visibility("default"))) void TarvoTestAfterChecks(void);

namespace tarvo {

// Between the checksum passes over the inputs and the output's creation.
inline void TestPointAfterChecks() {
  if (TarvoTestAfterChecks != nullptr) TarvoTestAfterChecks();
}

}  // namespace tarvo
