// The result codes the user is told about in words, with whether each is a
// program fault, whether Retry is offered, and its help topic.
#pragma once

#include <QString>

#include "errors/InterfaceException.h"

struct HResultRow {
  HRESULT hr;
  const char* szMessage;
  bool bInternal;
  bool bRetry;
  unsigned nHelpId;
};

// Null for a code without a row.
const HResultRow* FindHResultRow(HRESULT hr);
// "Unknown error" with the code in eight upper-case hex digits and an L.
QString UnknownHResultMessage(HRESULT hr);
