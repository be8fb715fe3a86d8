#include "errors/ErrnoHResult.h"

#include <cerrno>
#include <cstdint>

namespace {

// The Windows result code of a system error number.
constexpr HRESULT FromWin32(std::uint32_t code) { return MakeHResult(0x80070000u | code); }

// Codes outside the table: the "customer" bit keeps them clear of every
// code the table knows, whatever the errno.
constexpr HRESULT FromUnmapped(int err) {
  return MakeHResult(0xA0000000u | (static_cast<std::uint32_t>(err) & 0xFFFFu));
}

}  // namespace

HRESULT HResultFromErrno(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
      return kHrAccessDenied;
    case ENOMEM:
      return kHrOutOfMemory;
    case EBADF:
      return kHrInvalidHandle;
    case EINVAL:
      return kHrInvalidArgument;
    case EFAULT:
      return kHrInvalidPointer;
    case ENOSYS:
    case EOPNOTSUPP:
      return kHrNotImplemented;
    case ECANCELED:
      return kHrAborted;
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
    case EAGAIN:
      return kHrNotReady;
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTDOWN:
    case EHOSTUNREACH:
      return kHrBadNetPath;
    case ESTALE:
      return kHrBadNetName;
    case ECONNREFUSED:
      return kHrRequestNotAccepted;
    // Conditions Windows has a code for but the table has no words for: the
    // user sees the familiar code as an unknown error.
    case ENOENT:
      return FromWin32(2);
    case ENOTDIR:
      return FromWin32(3);
    case EMFILE:
      return FromWin32(4);
    case EROFS:
      return FromWin32(19);
    case EEXIST:
      return FromWin32(80);
    case ENOSPC:
      return FromWin32(112);
    case ENAMETOOLONG:
      return FromWin32(206);
    default:
      return FromUnmapped(err);
  }
}
