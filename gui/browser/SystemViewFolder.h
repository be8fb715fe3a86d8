// The record behind one item of the folder tree.
#pragma once

#include "browser/ShellFolder.h"

class CSystemView;

class CSystemViewFolder : public CShellFolder {
 public:
  static constexpr unsigned kSeen = 1;  // found by the latest listing of its parent
  static constexpr unsigned kOpen = 2;  // its children were listed and it is expanded

  // The root record, or the record of child `name` of pParent.
  explicit CSystemViewFolder(CSystemView* pOwner);
  CSystemViewFolder(CSystemView* pOwner, const CShellFolder* pParent, const QString& name);
  const char* GetRuntimeClassName() const override;

  CSystemView* GetOwner() const { return m_pOwner; }
  unsigned m_nFlags = 0;

 private:
  CSystemView* m_pOwner;
};
