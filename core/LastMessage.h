// Which message of the string table describes the last result on this
// thread: the result code's own, or a more precise one where the code alone
// would hide what matters (an old file overwritten in place and damaged).
#pragma once

namespace tarvo {

void SetLastMessage(unsigned id);

}  // namespace tarvo
