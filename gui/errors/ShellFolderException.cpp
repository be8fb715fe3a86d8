#include "InterfaceException.h"

CShellFolderException::CShellFolderException(int kind, HRESULT hr)
    : CInterfaceException(hr), m_nKind(kind) {
  if (kind == kNoFolderInterface) {
    m_bInternal = 1;
    m_strMessage = QStringLiteral("No IShellFolder interface is specified\nfor CShellFolder object");
  } else if (kind == kUnknownFailure) {
    m_strMessage = QStringLiteral("Unknow error in CShellFolder object");
  }
}

const char* CShellFolderException::GetRuntimeClassName() const { return "CShellFolderException"; }

CDirViewException::CDirViewException(int subkind, HRESULT hr, int kind)
    : CShellFolderException(kind, hr), m_nSubKind(subkind) {
  if (subkind == kListControl) {
    m_bInternal = 1;
    m_strMessage = QStringLiteral("Problem with list view control");
    m_nHelpId = 11206;
  } else if (subkind == kNoAllocator) {
    m_strMessage = QStringLiteral("Cannot get the shell memory allocator\ninterface\n\n") + m_strMessage;
  }
}

const char* CDirViewException::GetRuntimeClassName() const { return "CDirViewException"; }

CSystemViewException::CSystemViewException(int subkind, HRESULT hr, int kind)
    : CShellFolderException(kind, hr), m_nSubKind(subkind) {
  if (subkind == kTreeControl) {
    m_bInternal = 1;
    m_strMessage = QStringLiteral("Problem with the tree view control");
    m_nHelpId = 11205;
  } else if (subkind == kNoAllocator) {
    m_strMessage = QStringLiteral("Cannot get shell memory allocator interface\n\n") + m_strMessage;
  }
}

const char* CSystemViewException::GetRuntimeClassName() const { return "CSystemViewException"; }
