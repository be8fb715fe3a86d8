// What must happen when the process is ended by a signal it could have
// caught: the terminal goes back as it was, and partial outputs that have a
// name (where the file system cannot create unnamed files) are removed.
// One handler does both, so the order in which parts of a program ask for
// them does not matter, and a signal the host ignores or handles itself is
// left to the host.
#pragma once

namespace platform {

// Installs the handler for every terminating signal whose disposition is
// still the default one. Safe to call more than once and from any thread.
void CatchTerminatingSignals();

// Names to unlink (relative to an open folder descriptor) if the process is
// ended by a signal before they are taken back. The descriptor must stay
// open until Unregister. Returns a slot, or -1 when the name does not fit or
// every slot is taken (the name then stays unprotected, as before).
int RegisterRemoval(int folderFd, const char* name);
void UnregisterRemoval(int slot);

}  // namespace platform
