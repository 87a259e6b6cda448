#include "engine/pdf/StoredStripsData.h"

#include <qpdf/Pipeline.hh>

namespace pagesmith {

StoredStripsData::StoredStripsData(PdfPageSource source, StoredStrips layout,
                                   std::vector<std::uint32_t> strips, std::string head,
                                   std::size_t skip, bool reverseBits,
                                   std::shared_ptr<PageDamage> damage)
    : m_source(std::move(source)), m_layout(layout), m_strips(std::move(strips)),
      m_head(std::move(head)), m_skip(skip), m_reverseBits(reverseBits),
      m_damage(std::move(damage)) {}

void StoredStripsData::provideStreamData(QPDFObjGen const&, Pipeline* pipeline) {
    pipeline->write(reinterpret_cast<const unsigned char*>(m_head.data()), m_head.size());
    TIFF* in = m_source.open();
    if (!in)
        m_damage->sourceLost = true;
    std::vector<std::uint8_t> bytes;
    for (const std::uint32_t strip : m_strips) {
        // A strip that cannot be read leaves its rows to the reader's own
        // handling of data that ends early.
        if (!in || !readWholeStrip(in, strip, bytes) || bytes.size() <= m_skip) {
            m_damage->unreadRows += m_layout.rowsOf(strip);
            continue;
        }
        if (m_reverseBits)
            TIFFReverseBits(bytes.data(), tmsize_t(bytes.size()));
        pipeline->write(bytes.data() + m_skip, bytes.size() - m_skip);
    }
    pipeline->finish();
}

} // namespace pagesmith
