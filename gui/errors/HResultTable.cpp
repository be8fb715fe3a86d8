#include "HResultTable.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::array kRows = {
    HResultRow{kHrNotImplemented, "The feature is not implemented", false, false, 0},
    HResultRow{kHrNoInterface, "Specified interface is not supported", false, false, 0},
    HResultRow{kHrInvalidPointer, "Invalid pointer was specified", true, false, 0},
    HResultRow{kHrAborted, "Operation was aborted", false, false, 0},
    HResultRow{kHrFail, "General failure", false, false, 0},
    HResultRow{kHrUnexpected, "Unexpected failure", false, false, 0},
    HResultRow{kHrAccessDenied, "Access is denied", false, true, 11201},
    HResultRow{kHrInvalidHandle, "Invalid handle was specified", true, false, 0},
    HResultRow{kHrOutOfMemory, "Not enough memory to perform the action", false, false, 11207},
    HResultRow{kHrNotReady, "Device is not ready", false, true, 11202},
    HResultRow{kHrBadNetPath, "The network drive is not currenly available.", false, false, 11209},
    HResultRow{kHrBadNetName, "The network path could not be found.", false, true, 11208},
    HResultRow{kHrInvalidArgument, "Invalid argument was passed to the function", true, false, 0},
    HResultRow{kHrRequestNotAccepted,
               "The request is not accepted by the network.\nPlease, try again later.", false, false,
               11203},
    HResultRow{kHrNoLogonServers, "No logon services available\nto serve the request.", false, true,
               11204},
};

}  // namespace

const HResultRow* FindHResultRow(HRESULT hr) {
  for (const HResultRow& row : kRows) {
    if (row.hr == hr) return &row;
  }
  return nullptr;
}

QString UnknownHResultMessage(HRESULT hr) {
  const QString hex =
      QString::number(static_cast<std::uint32_t>(hr), 16).toUpper().rightJustified(8, QLatin1Char('0'));
  return QStringLiteral("Unknown error:\nThe error code is 0x%1L").arg(hex);
}
