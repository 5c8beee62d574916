// The Win32 services that charart and its GDI+ layer use, with their Windows names, types and
// semantics, built on Linux: code-page conversions, global memory blocks, an IStream over a
// global memory block, and GUID texts.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- base types (the Windows widths, not the Linux ones: LONG is 32-bit, WCHAR is UTF-16) ----

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t INT;
typedef uint32_t UINT;
typedef int32_t INT32;
typedef uint32_t UINT32;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef uintptr_t ULONG_PTR;
typedef intptr_t LONG_PTR;
typedef size_t SIZE_T;
typedef char CHAR;
typedef char16_t WCHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef BOOL* LPBOOL;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef int32_t HRESULT;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// A global memory block is named by a number from the block table, never by its address, so a
// freed or forged handle is recognised instead of being dereferenced.
struct HGLOBAL__;
typedef HGLOBAL__* HGLOBAL;

typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER;

typedef union _ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    } u;
    ULONGLONG QuadPart;
} ULARGE_INTEGER;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

typedef struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
typedef CLSID* LPCLSID;

inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}
inline bool operator!=(const GUID& a, const GUID& b) {
    return !(a == b);
}

// ---- HRESULT values ----

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_HANDLE = static_cast<HRESULT>(0x80070006u);
constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);
constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);
constexpr HRESULT STG_E_INVALIDHANDLE = static_cast<HRESULT>(0x80030006u);
constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009u);
constexpr HRESULT STG_E_MEDIUMFULL = static_cast<HRESULT>(0x80030070u);
constexpr HRESULT STG_E_INVALIDFLAG = static_cast<HRESULT>(0x800300FFu);

// ---- last error ----

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_NOT_LOCKED = 158;
constexpr DWORD ERROR_INVALID_FLAGS = 1004;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

// Per thread, as on Windows.
extern "C" DWORD GetLastError();
extern "C" void SetLastError(DWORD error);

// ---- code pages ----
//
// Code page 936 is read as GB18030, its superset: every GBK text keeps its bytes and every
// Unicode character has a multi-byte form. CP_ACP and CP_OEMCP are 936; 54936 names GB18030
// itself; CP_UTF8 is UTF-8.

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_GBK = 936;
constexpr UINT CP_GB18030 = 54936;
constexpr UINT CP_UTF8 = 65001;

constexpr DWORD MB_PRECOMPOSED = 0x00000001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x00000080;

// Returns the number of UTF-16 units written (or, with cchWideChar 0, needed); 0 on failure,
// with the reason in GetLastError(). A length of -1 converts up to and including the NUL.
// Invalid input bytes become U+FFFD unless MB_ERR_INVALID_CHARS asks for a failure instead.
extern "C" int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                   int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar);

// Returns the number of bytes written (or, with cbMultiByte 0, needed); 0 on failure. A unit
// without a multi-byte form (an unpaired surrogate) becomes the default character: the first
// byte of *lpDefaultChar when given, else '?'; *lpUsedDefaultChar tells whether that happened.
// CP_UTF8 takes neither (ERROR_INVALID_PARAMETER when given, as on Windows).
extern "C" int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                                   int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                   LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar);

// Units before the terminating NUL; 0 for a null pointer.
extern "C" int lstrlenW(LPCWSTR lpString);

// ---- global memory ----

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_MODIFY = 0x0080;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// Null on failure. A block of 0 bytes is a valid block (its GlobalLock gives null, as on Windows
// for a discarded block, and GlobalSize gives 0).
extern "C" HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
// The block's address, valid until the matching GlobalUnlock; null for a bad handle or an empty
// block. Locks nest.
extern "C" LPVOID GlobalLock(HGLOBAL hMem);
// TRUE while the block stays locked, FALSE once the lock count reaches 0 (then GetLastError()
// is ERROR_SUCCESS) or for a bad handle.
extern "C" BOOL GlobalUnlock(HGLOBAL hMem);
// Bytes in the block; 0 for a bad handle (GetLastError() tells it from an empty block).
extern "C" SIZE_T GlobalSize(HGLOBAL hMem);
// Resizes the block, keeping its contents (new bytes are zero with GMEM_ZEROINIT); returns the
// same handle, or null on failure. A locked block cannot be resized.
extern "C" HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags);
// Null on success; the handle itself when it names no block.
extern "C" HGLOBAL GlobalFree(HGLOBAL hMem);

// ---- COM streams ----

constexpr ULONG STGTY_STREAM = 2;
constexpr DWORD STREAM_SEEK_SET = 0;
constexpr DWORD STREAM_SEEK_CUR = 1;
constexpr DWORD STREAM_SEEK_END = 2;
constexpr DWORD STATFLAG_DEFAULT = 0;
constexpr DWORD STATFLAG_NONAME = 1;
constexpr DWORD STGM_READWRITE = 0x00000002;

typedef struct tagSTATSTG {
    LPOLESTR pwcsName;
    DWORD type;
    ULARGE_INTEGER cbSize;
    FILETIME mtime;
    FILETIME ctime;
    FILETIME atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
} STATSTG;

extern "C" const IID IID_IUnknown;
extern "C" const IID IID_ISequentialStream;
extern "C" const IID IID_IStream;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    // Objects go away through Release(), never through delete on an interface pointer.
    ~IUnknown() = default;
};

struct ISequentialStream : IUnknown {
    virtual HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) = 0;
    virtual HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;

protected:
    ~ISequentialStream() = default;
};

struct IStream : ISequentialStream {
    virtual HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                         ULARGE_INTEGER* plibNewPosition) = 0;
    virtual HRESULT SetSize(ULARGE_INTEGER libNewSize) = 0;
    virtual HRESULT CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                           ULARGE_INTEGER* pcbWritten) = 0;
    virtual HRESULT Commit(DWORD grfCommitFlags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
    virtual HRESULT UnlockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
    virtual HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) = 0;
    virtual HRESULT Clone(IStream** ppstm) = 0;

protected:
    ~IStream() = default;
};
typedef IStream* LPSTREAM;

// A stream over hGlobal (a new empty block when hGlobal is null). With fDeleteOnRelease the block
// is freed when the last stream over it (clones included) is released. Writing past the end grows
// the block, so GlobalSize reports the stream's size.
extern "C" HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm);
// The block under a stream made by CreateStreamOnHGlobal; E_INVALIDARG for any other stream.
extern "C" HRESULT GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL* phglobal);

// ---- GUID texts ----

// Writes the 38-character registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper-case
// hexadecimal) and its NUL; returns 39, or 0 when cchMax is too small.
extern "C" int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
// Reads the registry form (either case). A malformed text gives CO_E_CLASSSTRING and a zero GUID.
extern "C" HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
