// Read faults on mapped files. A file that shrinks while it is mapped turns
// reads past its new end into SIGBUS; for a view registered here the handler
// lays zero pages over the rest of the view and marks it, so the reader runs
// on and its owner turns the mark into a result code instead of a crash.
// Faults anywhere else end the process as before, terminal restored.
#pragma once

#include <cstddef>

namespace platform::readfault {

// Watches [begin, begin + size); returns a slot, or -1 when every slot is
// taken (the view then stays unprotected, as it was before).
int Watch(const void* begin, std::size_t size);
void Unwatch(int slot);
// True once a read inside the slot's view faulted.
bool Faulted(int slot);

}  // namespace platform::readfault
