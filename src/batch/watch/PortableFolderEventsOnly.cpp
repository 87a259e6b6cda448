// Systems without inotify have the portable source alone. The build takes
// this file in place of InotifyFolderEvents.cpp there (src/CMakeLists.txt).
#include "batch/watch/FolderEvents.h"

namespace pagesmith {

std::unique_ptr<FolderEvents> openFolderEvents() {
    return openPortableFolderEvents();
}

} // namespace pagesmith
