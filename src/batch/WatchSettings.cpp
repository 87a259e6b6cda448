#include "batch/WatchSettings.h"

#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"

namespace pagesmith {

std::optional<std::string> watchRefusal(const BatchRequest& request) {
    if (request.merge)
        return "/watch cannot merge: it converts each file on its own (leave out /m=)";
    if (request.watch.fileNamed)
        return "/watch needs a folder to watch (/d=), not a file (/f=)";
    if (request.sourceFolder.empty())
        return "/watch needs the folder to watch (/d=)";
    if (request.saveFolder.empty())
        return "/watch needs a save folder (/sd=)";
    if (request.operation != BatchOperation::ConvertIntoFolder)
        return "/watch converts into the save folder only (leave out /sf=, /np and /tnp)";
    if (request.watch.settleMilliseconds < 0)
        return "/settle= needs a number of seconds, such as /settle=2";
    if (sameFolder(request.saveFolder, request.sourceFolder))
        return "/watch needs a save folder (/sd=) other than the watched folder";
    return std::nullopt;
}

} // namespace pagesmith
