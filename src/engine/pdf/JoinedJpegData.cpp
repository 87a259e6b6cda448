#include "engine/pdf/JoinedJpegData.h"

#include <qpdf/Pipeline.hh>

#include <vector>

namespace pagesmith {

JoinedJpegData::JoinedJpegData(PdfPageSource source, StoredStrips layout, StripGroup group,
                               std::string head, JpegHead expected,
                               std::shared_ptr<PageDamage> damage)
    : m_source(std::move(source)), m_layout(layout), m_group(group), m_head(std::move(head)),
      m_expected(std::move(expected)), m_damage(std::move(damage)) {}

bool JoinedJpegData::sameHead(const JpegHead& head) const {
    return head.tables == m_expected.tables && head.scan == m_expected.scan &&
           head.restartInterval == m_expected.restartInterval &&
           frameWithHeight(head.frame, 0) == frameWithHeight(m_expected.frame, 0);
}

void JoinedJpegData::provideStreamData(QPDFObjGen const&, Pipeline* pipeline) {
    pipeline->write(reinterpret_cast<const unsigned char*>(m_head.data()), m_head.size());
    TIFF* in = m_source.open();
    if (!in)
        m_damage->sourceLost = true;
    std::vector<std::uint8_t> bytes;
    unsigned nextRestart = 0;
    const std::uint32_t end = m_group.first + m_group.count;
    for (std::uint32_t strip = m_group.first; strip < end; ++strip) {
        JpegHead head;
        const bool readable = in && readWholeStrip(in, strip, bytes) &&
                              readJpegHead(bytes.data(), bytes.size(), head) && sameHead(head);
        if (readable) {
            const std::size_t end =
                renumberRestarts(bytes.data(), bytes.size(), head.scanData, nextRestart);
            pipeline->write(bytes.data() + head.scanData, end - head.scanData);
        } else {
            // The reader finds the restart marker that follows and goes on
            // from there.
            m_damage->unreadRows += m_layout.rowsOf(strip);
        }
        if (strip + 1 < end) {
            const unsigned char restart[] = {0xFF, (unsigned char)(0xD0 + (nextRestart++ & 7))};
            pipeline->write(restart, sizeof restart);
        }
    }
    const unsigned char endOfImage[] = {0xFF, 0xD9};
    pipeline->write(endOfImage, sizeof endOfImage);
    pipeline->finish();
}

} // namespace pagesmith
