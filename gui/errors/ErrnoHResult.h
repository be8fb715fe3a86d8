// The result code a file-system failure of Linux is reported with: the code
// the same condition has in the browser's table of messages.
#pragma once

#include "errors/InterfaceException.h"

// errno values with a row of their own map onto it (EACCES and EPERM are
// "access denied", ENOMEM "out of memory", ...). Any other errno gives a
// code outside the table, with the errno in its low bits, which the user
// then sees as an unknown error with that code.
HRESULT HResultFromErrno(int err);
