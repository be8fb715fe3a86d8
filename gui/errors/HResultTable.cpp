#include "errors/HResultTable.h"

#include <array>
#include <cstdint>

#include "errors/ErrorTexts.h"

namespace etext = qorvex::errors::text;

namespace {

constexpr std::array kRows = {
    HResultRow{kHrNotImplemented, QT_TRANSLATE_NOOP("Errors", "The feature is not implemented"), false, false, 0},
    HResultRow{kHrNoInterface, QT_TRANSLATE_NOOP("Errors", "Specified interface is not supported"), false, false, 0},
    HResultRow{kHrInvalidPointer, QT_TRANSLATE_NOOP("Errors", "Invalid pointer was specified"), true, false, 0},
    HResultRow{kHrAborted, QT_TRANSLATE_NOOP("Errors", "Operation was aborted"), false, false, 0},
    HResultRow{kHrFail, QT_TRANSLATE_NOOP("Errors", "General failure"), false, false, 0},
    HResultRow{kHrUnexpected, QT_TRANSLATE_NOOP("Errors", "Unexpected failure"), false, false, 0},
    HResultRow{kHrAccessDenied, QT_TRANSLATE_NOOP("Errors", "Access is denied"), false, true, 11201},
    HResultRow{kHrInvalidHandle, QT_TRANSLATE_NOOP("Errors", "Invalid handle was specified"), true, false, 0},
    HResultRow{kHrOutOfMemory, QT_TRANSLATE_NOOP("Errors", "Not enough memory to perform the action"), false, false, 11207},
    HResultRow{kHrNotReady, QT_TRANSLATE_NOOP("Errors", "Device is not ready"), false, true, 11202},
    HResultRow{kHrBadNetPath, QT_TRANSLATE_NOOP("Errors", "The network drive is not currenly available."), false, false, 11209},
    HResultRow{kHrBadNetName, QT_TRANSLATE_NOOP("Errors", "The network path could not be found."), false, true, 11208},
    HResultRow{kHrInvalidArgument, QT_TRANSLATE_NOOP("Errors", "Invalid argument was passed to the function"), true, false, 0},
    HResultRow{kHrRequestNotAccepted,
               QT_TRANSLATE_NOOP("Errors", "The request is not accepted by the network.\nPlease, try again later."), false, false,
               11203},
    HResultRow{kHrNoLogonServers, QT_TRANSLATE_NOOP("Errors", "No logon services available\nto serve the request."), false, true,
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
  return etext::Tr(etext::kUnknownError).arg(hex);
}
