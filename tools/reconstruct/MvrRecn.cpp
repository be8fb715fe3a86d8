// MvrRecn: rebuilds one modified file from a difference file and its original.
#include <cstdio>
#include <string_view>

#include "ConsoleProgress.h"
#include "TarvoCore.h"
#include "platform/ShownName.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("MvrRecn -- Mendivar reconstruction console utility\nUsage:\n"
               "       MvrRecn MvrFile [OriginalFile [ModifiedFile]]\n",
               stdout);
    return -4;
  }
  mvr::PrepareProcess();
  std::fputs("Press Esc to abort reconstruction . . .\n\n", stdout);
  std::fflush(stdout);

  const S_TARVO_NOTIFY_INFO notify = mvr::ConsoleTarget();
  const E_TARVO_ERROR result = ReconstructTargetFile(argc > 2 ? argv[2] : nullptr, argv[1],
                                                     argc > 3 ? argv[3] : nullptr, &notify, nullptr);

  // The name is the one the first progress report gave: a run that fails
  // before writing shows none.
  const std::string_view reported = mvr::ReportedFileName();
  std::printf("\n\n%s", reported.empty() ? "" : platform::ShownName(reported).c_str());
  // A failure that damaged an old file says so, not only that a write failed.
  return mvr::FinishWithMessage(result, TarvoLastMessageId());
}
