#include "ui/main/FileListFill.h"

#include "base/ReportMessages.h"
#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"
#include "inspect/ReportLines.h"
#include "ui/main/FileList.h"
#include "ui/main/InfoPageSink.h"

#include <QApplication>

namespace pagesmith {

namespace {

// The scan opens every file of the folder; the user sees that it works.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// What the scan finds, named relative to folder.
BatchRequest scanned(const std::string& folder, int includeSubFolders, CompressionFilter filter) {
    BatchRequest found;
    found.sourceFolder = folder;
    scanFolder(found, folder, includeSubFolders, filter);
    return found;
}

} // namespace

FileListFill::FileListFill(FileList& list, InfoPageSink& infoPage)
    : m_list(list), m_infoPage(infoPage) {}

int FileListFill::fill(const std::string& folder, int includeSubFolders, CompressionFilter filter) {
    const int count = [&] {
        WaitCursor waiting;
        m_list.clearFiles();
        m_list.showFiles(scanned(folder, includeSubFolders, filter));
        return m_list.rowCount();
    }();
    m_infoPage.showPage(InfoPageSink::kInfoPage);
    m_infoPage.clearPage(InfoPageSink::kInfoPage);
    m_infoPage.appendToPage(InfoPageSink::kInfoPage, totalLine(count));
    return count;
}

std::string FileListFill::totalLine(int count) {
    return formatMessage<ReportMessage::InfoFolderTotal>(count);
}

int FileListFill::refresh(const std::string& folder, int includeSubFolders,
                          CompressionFilter filter) {
    WaitCursor waiting;
    m_list.refreshFiles(scanned(folder, includeSubFolders, filter));
    return m_list.rowCount();
}

} // namespace pagesmith
