#include "errors/InterfaceException.h"

#include "errors/ErrorTexts.h"
#include "errors/HResultTable.h"

namespace etext = qorvex::errors::text;

CInterfaceException::CInterfaceException()
    : m_bInternal(1), m_strMessage(etext::Tr(etext::kGenericInternal)) {}

CInterfaceException::CInterfaceException(HRESULT hr) : m_hResult(hr) {
  if (const HResultRow* row = FindHResultRow(hr)) {
    m_strMessage = etext::Tr(row->szMessage);
    m_bInternal = row->bInternal ? 1 : 0;
    m_bRetry = row->bRetry ? 1 : 0;
    m_nHelpId = row->nHelpId;
  } else {
    m_strMessage = UnknownHResultMessage(hr);
  }
}

CInterfaceException::~CInterfaceException() = default;

const char* CInterfaceException::GetRuntimeClassName() const { return "CInterfaceException"; }
