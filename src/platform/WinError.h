#pragma once

// System error codes shared by the stand-ins of the shell and the registry.
enum : int {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_PATH_NOT_FOUND = 3,
    ERROR_INVALID_HANDLE = 6,
};
