// Records shared by every part of Mendivar: the difference file header, the
// result codes of the core, and the records a host passes to the core.
// C programs include it too (through TarvoCore.h), so the records are plain
// C and the C++ conveniences sit behind __cplusplus.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#include <cstddef>
#include <cstdint>
namespace platform { class IMessageWindow; }
#define TARVO_STATIC_ASSERT(e) static_assert(e, #e)
// Fields added to a record after its first version start from their
// defaults in C++, so an initializer written for the older record is still
// complete.
#define TARVO_FIELD_DEFAULT(v) = v
#else
// C hosts never look inside the window a C++ host passes; a pointer to an
// incomplete type keeps the record's layout.
struct TarvoMessageWindow;
#define TARVO_STATIC_ASSERT(e) _Static_assert(e, #e)
#define TARVO_FIELD_DEFAULT(v)
#endif

// The fixed head of every difference file. Little-endian on disk; the struct is
// only ever filled and written through the helpers in core/, never cast onto
// raw bytes of another byte order.
#pragma pack(push, 1)
typedef struct TypeHeadDeltaFile {
  uint32_t dwDeltaCheckSum;        // CRC of the whole file, these 4 bytes as 0
  char chMagic[4];                 // "mvr8"; the '8' (56) is the header length
  uint32_t dwDeltaFileSize;
  uint32_t dwTargetFileSize;
  uint32_t dwReferenceFileSize;
  uint32_t dwTargetFileCheckSum;
  uint32_t dwReferenceFileCheckSum;
  char chSignature[16];            // last byte is the format version digit
  uint32_t dwCodeOffset;
  uint32_t dwReserved;
  uint16_t wTargetNameLength;
  uint16_t wReferenceNameLength;
} TypeHeadDeltaFile;
#pragma pack(pop)
TARVO_STATIC_ASSERT(sizeof(TypeHeadDeltaFile) == 56);

#ifdef __cplusplus
inline constexpr std::size_t kDeltaHeaderSize = 56;
inline constexpr std::size_t kDeltaMinFileSize = 58;
inline constexpr std::size_t kDeltaVersionOffset = 43;
inline constexpr std::size_t kMaxStoredNameLength = 260;
inline constexpr char kDeltaMagic[4] = {'m', 'v', 'r', '8'};
inline constexpr char kDeltaSignatureV2[17] = "Lumenfold#000002";
inline constexpr char kDeltaVersion1 = '1';
inline constexpr char kDeltaVersion2 = '2';
#endif

// C gives the enumeration the type int, which is int32_t here: same layout.
#ifdef __cplusplus
enum E_TARVO_ERROR : int32_t {
#else
enum E_TARVO_ERROR {
#endif
  TARVO_OK = 0,
  TARVO_ERR_OPEN_ORIGINAL = 1,
  TARVO_ERR_OPEN_MODIFIED = 2,
  TARVO_ERR_OPEN_DELTA = 3,
  TARVO_ERR_CREATE_OUTPUT = 4,
  TARVO_ERR_READ_ORIGINAL = 5,
  TARVO_ERR_READ_MODIFIED = 6,
  TARVO_ERR_READ_DELTA = 7,
  TARVO_ERR_WRITE_DELTA = 8,
  TARVO_ERR_WRITE_OUTPUT = 9,
  TARVO_ERR_READ_OUTPUT = 10,
  TARVO_ERR_NO_MEMORY = 11,
  TARVO_ERR_SIZE_MISMATCH = 12,
  TARVO_ERR_WRONG_ORIGINAL = 13,
  TARVO_ERR_BAD_RESULT = 14,
  TARVO_ERR_BAD_DELTA = 15,
  TARVO_ERR_CANCELLED = 16,
  TARVO_ERR_OVERWRITE_REFUSED = 17,
};
#ifdef __cplusplus
inline constexpr int kTarvoErrorCount = 18;
// String id of the message for result code c in the core's string table.
inline constexpr unsigned kTarvoMessageBase = 11000;
// Messages that say more than a code's own (TarvoLastMessageId).
inline constexpr unsigned kTarvoMessageDetailBase = 11100;
// Code 9 (8 for construction) after the old file, overwritten in place, was
// partly written.
inline constexpr unsigned kTarvoMessageOldFileDamaged = kTarvoMessageDetailBase + 0;
inline constexpr unsigned kTarvoMessageOldDeltaDamaged = kTarvoMessageDetailBase + 1;

// Notification delivery methods.
inline constexpr uint32_t TARVO_NOTIFY_NONE = 0;
inline constexpr uint32_t TARVO_NOTIFY_WINDOW = 1;
inline constexpr uint32_t TARVO_NOTIFY_FUNCTION = 2;

// Event kinds.
inline constexpr int32_t TARVO_EVENT_PROGRESS = 0;
inline constexpr int32_t TARVO_EVENT_FILE_EXISTS = 1;
#else
typedef enum E_TARVO_ERROR E_TARVO_ERROR;
enum { TARVO_NOTIFY_NONE = 0, TARVO_NOTIFY_WINDOW = 1, TARVO_NOTIFY_FUNCTION = 2 };
enum { TARVO_EVENT_PROGRESS = 0, TARVO_EVENT_FILE_EXISTS = 1 };
#endif

typedef struct TypeNotifyEvent {
  int32_t nKind;
  const char* pszFileName;  // valid only during the delivery
  uint32_t dwDone;          // progress only
  uint32_t dwTotal;         // progress only
} TypeNotifyEvent;

// A host's answer: 0 goes on, anything else stops.
typedef int32_t (*TarvoNotifyProc)(TypeNotifyEvent* event, uintptr_t userValue);

typedef struct S_TARVO_NOTIFY_INFO {
  uint32_t dwMethod;
  union {
#ifdef __cplusplus
    platform::IMessageWindow* hWnd;  // method 1
#else
    struct TarvoMessageWindow* hWnd;
#endif
    TarvoNotifyProc pfnNotify;       // method 2
  };
  uintptr_t nMessage;  // method 1: message number; method 2: user value
  uintptr_t wParam;    // method 1 only
} S_TARVO_NOTIFY_INFO;

typedef struct S_TARVO_CONSTRUCT_OPTIONS {
  uint32_t dwSize;              // bytes of this record the caller filled
  int32_t lConstructionSpeed;   // carried for hosts, never read by the core
  int32_t bFullReferencePath;
  int32_t bFullTargetPath;
  int32_t bNotifyOverwrite;
  // The fields below are read only when dwSize reaches them (a dwSize of 20
  // writes exactly what callers that predate them got). Every choice writes
  // the same format, which every reader reads.
  int32_t lMatcher;     // TARVO_MATCHER_*
  int32_t lCompressor;  // TARVO_COMPRESSOR_*
  uint32_t dwReserved TARVO_FIELD_DEFAULT(0);  // puts the pointer below where every compiler does
  // The name to record for the modified file as it is, instead of one formed
  // from its path (bFullTargetPath is then not read): for a host that hands
  // over a copy under another path, such as one of standard input read
  // through its descriptor. Null: formed from the path.
  const char* pszTargetName TARVO_FIELD_DEFAULT(nullptr);
} S_TARVO_CONSTRUCT_OPTIONS;
// Records filled up to lCompressor (28 bytes) keep working unchanged.
TARVO_STATIC_ASSERT(offsetof(S_TARVO_CONSTRUCT_OPTIONS, dwReserved) == 28);
TARVO_STATIC_ASSERT(offsetof(S_TARVO_CONSTRUCT_OPTIONS, pszTargetName) == 32);

// Matchers: the standard one, or one that looks for the longest matches in
// the whole original and parses for the fewest bytes of records.
enum { TARVO_MATCHER_STANDARD = 0, TARVO_MATCHER_THOROUGH = 1 };
// Compressors of the code stream, all writing a zlib stream: zlib at level
// 9, a faster one whose files are no larger, the strongest one (slowest).
enum { TARVO_COMPRESSOR_STANDARD = 0, TARVO_COMPRESSOR_FAST = 1, TARVO_COMPRESSOR_STRONGEST = 2 };

typedef struct S_TARVO_RECONSTRUCT_OPTIONS {
  uint32_t dwSize;            // 8 for callers that predate the next field
  int32_t bNotifyOverwrite;
  // Non-zero when the modified path was taken from the difference file
  // rather than typed or accepted by the user: it then gets the rule for
  // recorded names (TarvoRecordedTargetPath; an existing entry is never
  // replaced, 17). An empty modified path is always a recorded one.
  int32_t bRecordedTargetName;
  // The fields below are read only when dwSize reaches them (12 for callers
  // that predate them).
  // Non-zero when the user said yes to replacing what has the recorded name
  // (mvr's -f, a GUI's Yes). Only the entry of that name in that folder is
  // replaced: a regular file by the new one, a link as a link (the new file
  // takes its name, what it points to is untouched); nothing is ever written
  // through a link, and a folder, device, FIFO or socket is not replaced (4).
  int32_t bReplaceRecorded;
  // The folder a recorded name is created in; null or empty for the
  // difference file's own folder. For a host that reads the difference file
  // from a copy and names the folder the file stands for.
  const char* pszRecordedFolder;
} S_TARVO_RECONSTRUCT_OPTIONS;
TARVO_STATIC_ASSERT(sizeof(S_TARVO_RECONSTRUCT_OPTIONS) == 16 + sizeof(const char*));
