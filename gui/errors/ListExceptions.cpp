// The allocator's and the two list views' error objects.
#include "errors/InterfaceException.h"

#include "errors/ErrorTexts.h"

namespace etext = qorvex::errors::text;

CShellMallocException::CShellMallocException(HRESULT hr, const void* wrapper)
    : CInterfaceException(hr), m_pMalloc(wrapper) {}

const char* CShellMallocException::GetRuntimeClassName() const { return "CShellMallocException"; }

CSelectionListException::CSelectionListException(int code) : m_nCode(code) {
  if (code == 0) {
    m_bInternal = 1;
    m_strMessage = etext::Tr(etext::kListControl);
    m_nHelpId = 11206;
  }
}

const char* CSelectionListException::GetRuntimeClassName() const { return "CSelectionListException"; }

CProcessViewException::CProcessViewException(int code) : CInterfaceException(0), m_nCode(code) {
  if (code == 0) {
    m_bInternal = 1;
    m_strMessage = etext::Tr(etext::kProcessList);
    m_nHelpId = 11206;
  }
}

const char* CProcessViewException::GetRuntimeClassName() const { return "CProcessViewException"; }
