#pragma once

#include "engine/preview/PagePicture.h"
#include "engine/threads/NewestOnly.h"

#include <QObject>

#include <functional>
#include <string>

namespace pagesmith {

// Draws the preview's pictures on a thread of its own, one at a time: a new
// request gives up the one in hand, and only the newest answer comes back,
// on the window's thread. The window waits for nothing.
class PreviewLoader : public QObject {
    Q_OBJECT

public:
    // The picture, and the pages of the file listed (the file itself, or the
    // one whose output is drawn).
    using Done = std::function<void(PagePicture picture, int listedPages)>;

    explicit PreviewLoader(QObject* parent = nullptr);
    ~PreviewLoader() override;

    // Draws the request's page; `done` runs on this object's thread, unless
    // a newer request came first. `listedFile` is counted when the page drawn
    // is of another file.
    void load(PictureRequest request, const std::string& listedFile, Done done);
    // Gives up the request in hand; its answer never comes.
    void cancel();

private:
    int m_ticket = 0;
    NewestOnly m_worker; // last: it ends first, waiting for the task in hand
};

} // namespace pagesmith
