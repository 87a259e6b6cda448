#pragma once

#include "engine/pdf/JpegStream.h"
#include "engine/pdf/PdfPageSource.h"
#include "engine/pdf/StoredStrips.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <memory>
#include <string>

namespace pagesmith {

// JPEG strips of a page written as one JPEG stream: the head (SOI, tables,
// the frame at the height of the strips together, DRI, SOS) once, then the
// coded data of each strip of the group, a restart marker between one strip
// and the next and the strips' own restart markers numbered on, then EOI.
// Every strip must have the head `expected` has, but for its frame's height.
class JoinedJpegData : public QPDFObjectHandle::StreamDataProvider {
public:
    JoinedJpegData(PdfPageSource source, StoredStrips layout, StripGroup group, std::string head,
                   JpegHead expected, std::shared_ptr<PageDamage> damage);

    void provideStreamData(QPDFObjGen const& object, Pipeline* pipeline) override;

private:
    bool sameHead(const JpegHead& head) const;

    PdfPageSource m_source;
    StoredStrips m_layout;
    StripGroup m_group;
    std::string m_head;
    JpegHead m_expected;
    std::shared_ptr<PageDamage> m_damage;
};

} // namespace pagesmith
