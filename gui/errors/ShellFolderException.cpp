#include "errors/InterfaceException.h"

#include "errors/ErrorTexts.h"

namespace etext = qorvex::errors::text;

CShellFolderException::CShellFolderException(int kind, HRESULT hr)
    : CInterfaceException(hr), m_nKind(kind) {
  if (kind == kNoFolderInterface) {
    m_bInternal = 1;
    m_strMessage = etext::Tr(etext::kNoShellFolder);
  } else if (kind == kUnknownFailure) {
    m_strMessage = etext::Tr(etext::kShellFolderUnknown);
  }
}

const char* CShellFolderException::GetRuntimeClassName() const { return "CShellFolderException"; }

CDirViewException::CDirViewException(int subkind, HRESULT hr, int kind)
    : CShellFolderException(kind, hr), m_nSubKind(subkind) {
  if (subkind == kListControl) {
    m_bInternal = 1;
    m_strMessage = etext::Tr(etext::kListViewProblem);
    m_nHelpId = 11206;
  } else if (subkind == kNoAllocator) {
    m_strMessage = etext::Tr(etext::kNoAllocatorDir) + m_strMessage;
  }
}

const char* CDirViewException::GetRuntimeClassName() const { return "CDirViewException"; }

CSystemViewException::CSystemViewException(int subkind, HRESULT hr, int kind)
    : CShellFolderException(kind, hr), m_nSubKind(subkind) {
  if (subkind == kTreeControl) {
    m_bInternal = 1;
    m_strMessage = etext::Tr(etext::kTreeViewProblem);
    m_nHelpId = 11205;
  } else if (subkind == kNoAllocator) {
    m_strMessage = etext::Tr(etext::kNoAllocatorTree) + m_strMessage;
  }
}

const char* CSystemViewException::GetRuntimeClassName() const { return "CSystemViewException"; }
