#include "browser/SystemViewFolder.h"

CSystemViewFolder::CSystemViewFolder(CSystemView* pOwner) : m_pOwner(pOwner) {}

CSystemViewFolder::CSystemViewFolder(CSystemView* pOwner, const CShellFolder* pParent, const QString& name)
    : CShellFolder(pParent, name), m_pOwner(pOwner) {}

const char* CSystemViewFolder::GetRuntimeClassName() const { return "CSystemViewFolder"; }
