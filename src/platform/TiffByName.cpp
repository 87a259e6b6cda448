#include "platform/TiffByName.h"

#ifdef _WIN32
#include "platform/NativeFile.h"
#include "platform/Utf8Paths.h"

#include <windows.h>
#endif

namespace pagesmith::platform {

#ifdef _WIN32

// The file is opened here, by its wide name, rather than by TIFFOpenW: that
// one hands libtiff the name in the ANSI code page, and TIFFFileName must
// give back the UTF-8 name the program uses to find the file again.
TIFF* openTiffByName(const std::string& path, const char* mode, TIFFOpenOptions* options) {
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_EXISTING;
    switch (mode[0]) {
    case 'r':
        if (mode[1] != '+')
            access = GENERIC_READ;
        break;
    case 'w':
        disposition = CREATE_ALWAYS;
        break;
    case 'a':
        disposition = OPEN_ALWAYS;
        break;
    default:
        return nullptr;
    }
    // Others may rename or delete the file meanwhile, as on Linux.
    const HANDLE handle = CreateFileW(wideFromUtf8(path).c_str(), access,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    TIFF* tiff =
        TIFFFdOpenExt(FileNumber(reinterpret_cast<intptr_t>(handle)), path.c_str(), mode, options);
    if (!tiff)
        CloseHandle(handle); // libtiff leaves the handle open when it fails
    return tiff;
}

#else

TIFF* openTiffByName(const std::string& path, const char* mode, TIFFOpenOptions* options) {
    return TIFFOpenExt(path.c_str(), mode, options);
}

#endif

} // namespace pagesmith::platform
