#include "engine/ReadDamage.h"

namespace pagesmith {

namespace {

constexpr const char* kTallyName = "pagesmith unread rows";

} // namespace

ReadDamage::ReadDamage(TIFF* in) : m_in(in) {
    if (m_in)
        TIFFSetClientInfo(m_in, this, kTallyName);
}

ReadDamage::~ReadDamage() {
    if (m_in)
        TIFFSetClientInfo(m_in, nullptr, kTallyName);
}

void noteUnreadRows(TIFF* in, std::uint64_t rows) {
    if (!in)
        return;
    if (auto* tally = static_cast<ReadDamage*>(TIFFGetClientInfo(in, kTallyName)))
        tally->m_unreadRows += rows;
}

PlaneRowFailures::PlaneRowFailures(TIFF* in, std::uint32_t rows, std::uint16_t planes) : m_in(in) {
    if (planes > 1)
        m_rows.resize(rows, false);
}

PlaneRowFailures::~PlaneRowFailures() {
    noteUnreadRows(m_in, m_count);
}

void PlaneRowFailures::failed(std::uint32_t row) {
    if (m_rows.empty()) {
        ++m_count;
    } else if (row < m_rows.size() && !m_rows[row]) {
        m_rows[row] = true;
        ++m_count;
    }
}

} // namespace pagesmith
