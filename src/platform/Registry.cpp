#include "platform/Registry.h"

long RegOpenKeyExA(HKEY /*key*/, const QString& /*subKey*/, std::uint32_t /*options*/,
                   std::uint32_t /*access*/, HKEY* result) {
    if (result)
        *result = nullptr;
    return ERROR_FILE_NOT_FOUND;
}

long RegQueryValueExA(HKEY /*key*/, const QString& /*valueName*/, std::uint32_t* /*reserved*/,
                      std::uint32_t* type, unsigned char* /*data*/, std::uint32_t* size) {
    if (type)
        *type = REG_NONE;
    if (size)
        *size = 0;
    return ERROR_INVALID_HANDLE;
}

long RegCloseKey(HKEY /*key*/) {
    return ERROR_INVALID_HANDLE;
}

std::uint32_t GetVersion() {
    return 10u | (0u << 8);
}
