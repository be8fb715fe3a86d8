// MvrCnstr: builds one difference file from the command line.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "ConsoleProgress.h"
#include "TarvoCore.h"
#include "platform/ShownName.h"
#include "platform/StringTable.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("MvrCnstr -- Mendivar construction console utility\nUsage:\n"
               "       MvrCnstr OriginalFile ModifiedFile [MvrFile]\n",
               stdout);
    return -4;
  }
  std::string output;
  try {
    output = argc > 3 ? std::string(argv[3]) : std::string(argv[2]) + ".mvr";
  } catch (const std::bad_alloc&) {
    std::fputs("MvrCnstr is out of memory !!!\n", stdout);
    return -5;
  }
  mvr::PrepareProcess();
  std::fputs("Press Esc to abort construction . . .\n\n", stdout);
  std::fflush(stdout);

  const S_TARVO_NOTIFY_INFO notify = mvr::ConsoleTarget();
  const E_TARVO_ERROR result = ConstructDeltaFile(argv[1], argv[2], output.c_str(), &notify, nullptr);

  std::printf("\n\n%s", platform::ShownName(output).c_str());
  return mvr::FinishWithMessage(result, TarvoLastMessageId());
}
