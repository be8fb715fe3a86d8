// The Qorvex window's error objects: a failure of the file-system browser, of
// its own list and tree views or of the shell allocator, with the message the
// user sees, whether it is a program fault, whether trying again may help,
// and the help topic. Thrown by value, caught by reference, shown through
// ReportInterfaceError.
#pragma once

#include <QString>
#include <cstdint>

// A Windows-style 32-bit result code: the browser reports every file-system
// failure as the code the same condition has there, so that one table of
// messages serves both.
using HRESULT = std::int32_t;

inline constexpr HRESULT MakeHResult(std::uint32_t bits) { return static_cast<HRESULT>(bits); }

inline constexpr HRESULT kHrNotImplemented = MakeHResult(0x80004001);
inline constexpr HRESULT kHrNoInterface = MakeHResult(0x80004002);
inline constexpr HRESULT kHrInvalidPointer = MakeHResult(0x80004003);
inline constexpr HRESULT kHrAborted = MakeHResult(0x80004004);
inline constexpr HRESULT kHrFail = MakeHResult(0x80004005);
inline constexpr HRESULT kHrUnexpected = MakeHResult(0x8000FFFF);
inline constexpr HRESULT kHrAccessDenied = MakeHResult(0x80070005);
inline constexpr HRESULT kHrInvalidHandle = MakeHResult(0x80070006);
inline constexpr HRESULT kHrOutOfMemory = MakeHResult(0x8007000E);
inline constexpr HRESULT kHrNotReady = MakeHResult(0x80070015);
inline constexpr HRESULT kHrBadNetPath = MakeHResult(0x80070035);
inline constexpr HRESULT kHrBadNetName = MakeHResult(0x80070043);
inline constexpr HRESULT kHrInvalidArgument = MakeHResult(0x80070057);
inline constexpr HRESULT kHrRequestNotAccepted = MakeHResult(0x800704B8);
inline constexpr HRESULT kHrNoLogonServers = MakeHResult(0x8007051F);
// The user cancelled the operation himself: nothing to show.
inline constexpr HRESULT kHrCancelledByUser = MakeHResult(0x800704C7);

class CInterfaceException {
 public:
  // A program fault with no further detail.
  CInterfaceException();
  // Message, flags and help topic by the code; unknown codes are shown in hex.
  explicit CInterfaceException(HRESULT hr);
  virtual ~CInterfaceException();
  CInterfaceException(const CInterfaceException&) = default;
  CInterfaceException& operator=(const CInterfaceException&) = default;

  virtual const char* GetRuntimeClassName() const;

  int m_bInternal = 0;  // a fault of the program, not of the user's system
  int m_bRetry = 0;     // the condition may pass: the user is offered Retry
  HRESULT m_hResult = 0;
  QString m_strMessage;
  unsigned m_nHelpId = 0;
};

class CShellFolderException : public CInterfaceException {
 public:
  CShellFolderException(int kind, HRESULT hr);
  const char* GetRuntimeClassName() const override;

  static constexpr int kNoFolderInterface = 3;
  static constexpr int kUnknownFailure = 7;

  int m_nKind = 0;
  QString m_strObjectName;  // display name of the object that failed, when known
};

class CDirViewException : public CShellFolderException {
 public:
  CDirViewException(int subkind, HRESULT hr, int kind);
  const char* GetRuntimeClassName() const override;

  static constexpr int kListControl = 0;
  static constexpr int kNoAllocator = 2;

  int m_nSubKind = 0;
};

class CSystemViewException : public CShellFolderException {
 public:
  CSystemViewException(int subkind, HRESULT hr, int kind);
  const char* GetRuntimeClassName() const override;

  static constexpr int kTreeControl = 0;
  static constexpr int kNoAllocator = 1;

  int m_nSubKind = 0;
};

class CShellMallocException : public CInterfaceException {
 public:
  CShellMallocException(HRESULT hr, const void* wrapper);
  const char* GetRuntimeClassName() const override;

  const void* m_pMalloc = nullptr;  // the allocator wrapper that failed
};

class CSelectionListException : public CInterfaceException {
 public:
  explicit CSelectionListException(int code);
  const char* GetRuntimeClassName() const override;

  int m_nCode = 0;
};

class CProcessViewException : public CInterfaceException {
 public:
  explicit CProcessViewException(int code);
  const char* GetRuntimeClassName() const override;

  int m_nCode = 0;
};
