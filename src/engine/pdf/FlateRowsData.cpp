#include "engine/pdf/FlateRowsData.h"

#include "base/MemoryLimits.h"
#include "engine/pdf/DeflateBehind.h"
#include "engine/pdf/DeflatePipe.h"
#include "engine/pdf/PngPredictor.h"
#include "engine/samples/DecodedRows.h"
#include "engine/samples/EightBitRows.h"

#include <optional>
#include <vector>

namespace pagesmith {

namespace {

// One of the two row readers, behind one call.
class RowSource {
public:
    RowSource(TIFF* in, RowKind kind, std::size_t rowBytes) : m_rowBytes(rowBytes) {
        if (!in)
            return;
        if (kind == RowKind::Stored)
            m_stored.emplace(in);
        else
            m_eightBit.emplace(in);
    }

    std::uint32_t length() const {
        if (m_stored && m_stored->valid() && m_stored->rowBytes() == m_rowBytes &&
            m_stored->planes() == 1)
            return m_stored->length();
        if (m_eightBit && m_eightBit->valid() &&
            std::size_t(m_eightBit->width()) * channelsOf(m_eightBit->colour()) == m_rowBytes)
            return m_eightBit->length();
        return 0;
    }

    const std::uint8_t* row(std::uint32_t y) {
        if (m_stored)
            return m_stored->readRow(y) ? m_stored->plane(0) : nullptr;
        return m_eightBit->row(y);
    }

private:
    std::size_t m_rowBytes;
    std::optional<DecodedRows> m_stored;
    std::optional<EightBitRows> m_eightBit;
};

} // namespace

FlateRowsData::FlateRowsData(PdfPageSource source, RowKind kind, std::uint32_t length,
                             std::uint32_t first, std::uint32_t rows, std::size_t rowBytes,
                             std::size_t pixelBytes, int level, CoreBudget* cores,
                             std::shared_ptr<PageDamage> damage)
    : m_source(std::move(source)), m_kind(kind), m_length(length), m_first(first), m_rows(rows),
      m_rowBytes(rowBytes), m_pixelBytes(pixelBytes), m_level(level), m_cores(cores),
      m_damage(std::move(damage)) {}

void FlateRowsData::provideStreamData(QPDFObjGen const&, Pipeline* pipeline) {
    TIFF* in = m_source.open();
    if (!in)
        m_damage->sourceLost = true;
    RowSource source(in, m_kind, m_rowBytes);
    // The page as planned, or nothing of it: its rows are then all zeros.
    const bool readable = in && source.length() == m_length;
    const std::vector<std::uint8_t> zeros(m_rowBytes, 0);
    std::optional<PngPredictor> predictor;
    if (m_pixelBytes > 0)
        predictor.emplace(m_rowBytes, m_pixelBytes);
    // Another core pays off for rows enough to keep it busy.
    std::unique_ptr<Pipeline> deflate;
    if (std::uint64_t(m_rows) * m_rowBytes >= kLeastBytesDeflatedBehind)
        deflate = std::make_unique<DeflateBehind>(pipeline, m_level, m_cores);
    else
        deflate = std::make_unique<DeflatePipe>(pipeline, m_level);
    for (std::uint32_t y = m_first; y < m_first + m_rows; ++y) {
        const std::uint8_t* row = readable ? source.row(y) : nullptr;
        if (!row) {
            ++m_damage->unreadRows;
            row = zeros.data();
        }
        if (predictor)
            deflate->write(predictor->filter(row), predictor->filteredBytes());
        else
            deflate->write(row, m_rowBytes);
    }
    deflate->finish();
}

} // namespace pagesmith
