#pragma once

#include "platform/WinError.h"

#include <QString>
#include <cstdint>

// The Windows registry, read only. This system keeps no registry: no key opens, so whoever
// looks something up gets "not found" and takes their fallback.

struct HKEY__;
using HKEY = HKEY__*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t(0x80000002u));

enum : std::uint32_t {
    KEY_QUERY_VALUE = 0x0001,
    KEY_READ = 0x20019,
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
};

// Opens a sub-key for reading: always ERROR_FILE_NOT_FOUND, `result` set to none.
long RegOpenKeyExA(HKEY key, const QString& subKey, std::uint32_t options, std::uint32_t access,
                   HKEY* result);
// Reads a value's type and size, and its bytes when `data` is given: no key is ever open, so
// ERROR_INVALID_HANDLE.
long RegQueryValueExA(HKEY key, const QString& valueName, std::uint32_t* reserved,
                      std::uint32_t* type, unsigned char* data, std::uint32_t* size);
long RegCloseKey(HKEY key);

// The Windows version word: major version in the low byte, minor in the next, build above.
// Answers 10.0 so that the callers take their current-Windows road.
std::uint32_t GetVersion();
