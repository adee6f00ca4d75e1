#include "cli/compat/system_conventions.h"

#include <windows.h>

#include <cstdlib>

std::string portOpenHint(const std::string& portName, int errorCode) {
    switch (errorCode) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "'kavrelcfg ports' lists the COM ports here";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return "another program has " + portName + " open; close it and try again";
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_HANDLE:
        return portName + " is not a serial port; 'kavrelcfg ports' lists the COM ports here";
    default:
        return {};
    }
}
