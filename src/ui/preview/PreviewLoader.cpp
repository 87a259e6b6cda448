#include "ui/preview/PreviewLoader.h"

#include "inspect/TiffInfo.h"

#include <QMetaObject>

#include <memory>

namespace pagesmith {

PreviewLoader::PreviewLoader(QObject* parent) : QObject(parent) {}

PreviewLoader::~PreviewLoader() = default;

void PreviewLoader::load(PictureRequest request, const std::string& listedFile, Done done) {
    const int ticket = ++m_ticket;
    m_worker.run([this, ticket, request = std::move(request), listedFile,
                  done = std::move(done)](const std::atomic<bool>& stop) {
        auto picture = std::make_shared<PagePicture>(drawPagePicture(request, stop));
        if (picture->stopped)
            return;
        const int listedPages =
            listedFile == request.path ? picture->pageCount : countTiffPages(listedFile);
        // Queued to this object: dropped should it be gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, ticket, picture, listedPages, done] {
                if (ticket == m_ticket)
                    done(std::move(*picture), listedPages);
            },
            Qt::QueuedConnection);
    });
}

void PreviewLoader::cancel() {
    ++m_ticket;
    m_worker.run([](const std::atomic<bool>&) {});
}

} // namespace pagesmith
