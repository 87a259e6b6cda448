#include "engine/samples/ReadDamage.h"

#include <algorithm>

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

PlaneRowFailures::~PlaneRowFailures() {
    noteUnreadRows(m_in, std::max(m_most, m_inPlane));
}

void PlaneRowFailures::failed(std::uint16_t plane) {
    if (plane != m_plane) {
        m_most = std::max(m_most, m_inPlane);
        m_inPlane = 0;
        m_plane = plane;
    }
    ++m_inPlane;
}

} // namespace pagesmith
