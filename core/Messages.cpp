// The core's string table: the message of result code c is string 11000 + c.
// Hosts read it through platform::LoadModuleString("TarvoCore", ...), so every
// program shows the same words.
#include "LastMessage.h"
#include "TarvoCore.h"
#include "TarvoTypes.h"

namespace {

constexpr const char* kMessages[kTarvoErrorCount] = {
    "Successful completion",
    "Cannot open the original file for reading",
    "Cannot open the modified file for reading",
    "Cannot open the difference file",
    "Cannot create the new modified file",
    "Cannot read from the original file",
    "Cannot read from the modified file",
    "Cannot read from the difference file",
    "Cannot write to the difference file",
    "Cannot write to the generated modified file",
    "Cannot read from the generated modified file",
    "Not enough memory to process the file",
    "The size of the reconstructed modified file does not match the size recorded in the "
    "difference file",
    "The specified original file is incorrect",
    "The modified file was reconstructed incorrectly. Please, make sure that the difference "
    "file is not corrupted",
    "The specified file is not  a difference file or the difference file is corrupted",
    "The processing is breaked by the message handler",
    "The message handler broke the processing because a file to be overwritten already exists",
};

// Messages beyond one per code, from kTarvoMessageDetailBase on.
constexpr const char* kDetails[] = {
    "Cannot write to the generated modified file. The file it was overwriting in place is damaged",
    "Cannot write to the difference file. The file it was overwriting in place is damaged",
};

thread_local unsigned t_lastMessage = 0;

}  // namespace

namespace tarvo {
void SetLastMessage(unsigned id) { t_lastMessage = id; }
}  // namespace tarvo

TARVOCORE_API unsigned TarvoLastMessageId(void) { return t_lastMessage; }

extern "C" __attribute__((visibility("default"))) const char* TarvoCore_GetString(unsigned id) {
  if (id >= kTarvoMessageDetailBase && id - kTarvoMessageDetailBase < sizeof kDetails / sizeof kDetails[0]) {
    return kDetails[id - kTarvoMessageDetailBase];
  }
  if (id < kTarvoMessageBase || id >= kTarvoMessageBase + kTarvoErrorCount) return nullptr;
  return kMessages[id - kTarvoMessageBase];
}
