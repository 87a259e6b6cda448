#include "engine/preview/PageReduction.h"

#include <algorithm>
#include <cstring>

namespace pagesmith {

Span spanOf(std::uint32_t index, std::uint32_t source, std::uint32_t shown) {
    if (shown == 0 || source == 0)
        return {};
    Span span;
    span.first = std::uint32_t(std::uint64_t(index) * source / shown);
    span.end = std::uint32_t(std::uint64_t(index + 1) * source / shown);
    span.first = std::min(span.first, source - 1);
    span.end = std::clamp(span.end, span.first + 1, source);
    return span;
}

std::vector<std::uint32_t> samplesOf(Span span) {
    std::vector<std::uint32_t> samples;
    const std::uint32_t count = span.end - span.first;
    if (count <= kMostSamplesPerAxis) {
        for (std::uint32_t i = span.first; i < span.end; ++i)
            samples.push_back(i);
        return samples;
    }
    for (std::uint32_t j = 0; j < kMostSamplesPerAxis; ++j)
        samples.push_back(span.first + std::uint32_t((std::uint64_t(2 * j + 1) * count) /
                                                     (2 * kMostSamplesPerAxis)));
    return samples;
}

PageReduction::PageReduction(std::uint32_t sourceWidth, std::uint32_t sourceLength,
                             const ShownPage& shown, std::uint16_t channels, std::uint32_t* out,
                             std::size_t stride, std::uint32_t firstShownRow,
                             std::uint32_t endShownRow)
    : m_channels(channels), m_out(out), m_stride(stride), m_width(shown.region.width) {
    m_columnEnds.reserve(m_width);
    for (std::uint32_t x = 0; x < m_width; ++x) {
        for (std::uint32_t column : samplesOf(spanOf(shown.region.x + x, sourceWidth, shown.width)))
            m_columns.push_back(column);
        m_columnEnds.push_back(std::uint32_t(m_columns.size()));
    }
    endShownRow = std::min(endShownRow, shown.region.length);
    Span last;
    for (std::uint32_t y = firstShownRow; y < endShownRow; ++y) {
        const Span span = spanOf(shown.region.y + y, sourceLength, shown.length);
        if (!m_groups.empty() && span == last) {
            m_groups.back().endShownRow = y + 1;
            continue;
        }
        const std::vector<std::uint32_t> rows = samplesOf(span);
        m_rows.insert(m_rows.end(), rows.begin(), rows.end());
        m_groups.push_back({y, y + 1, std::uint32_t(rows.size())});
        last = span;
    }
    m_sums.assign(std::size_t(m_width) * channels, 0);
}

void PageReduction::addRow(const std::uint8_t* samples) {
    if (done())
        return;
    addColumns(samples);
    const Group& group = m_groups[m_group];
    if (++m_rowsInGroup < group.rowCount)
        return;
    writeGroup(group);
    std::fill(m_sums.begin(), m_sums.end(), 0);
    m_rowsInGroup = 0;
    ++m_group;
}

void PageReduction::addColumns(const std::uint8_t* samples) {
    std::uint32_t* sums = m_sums.data();
    std::uint32_t begin = 0;
    if (m_channels == 1) {
        for (std::uint32_t x = 0; x < m_width; ++x) {
            std::uint32_t sum = 0;
            for (std::uint32_t i = begin; i < m_columnEnds[x]; ++i)
                sum += samples[m_columns[i]];
            sums[x] += sum;
            begin = m_columnEnds[x];
        }
        return;
    }
    for (std::uint32_t x = 0; x < m_width; ++x, sums += 3) {
        std::uint32_t red = 0, green = 0, blue = 0;
        for (std::uint32_t i = begin; i < m_columnEnds[x]; ++i) {
            const std::uint8_t* pixel = samples + std::size_t(m_columns[i]) * 3;
            red += pixel[0];
            green += pixel[1];
            blue += pixel[2];
        }
        sums[0] += red;
        sums[1] += green;
        sums[2] += blue;
        begin = m_columnEnds[x];
    }
}

void PageReduction::writeGroup(const Group& group) {
    std::uint32_t* row = m_out + std::size_t(group.firstShownRow) * m_stride;
    const std::uint32_t* sums = m_sums.data();
    std::uint32_t begin = 0;
    for (std::uint32_t x = 0; x < m_width; ++x, sums += m_channels) {
        const std::uint32_t count = (m_columnEnds[x] - begin) * group.rowCount;
        begin = m_columnEnds[x];
        const auto average = [count](std::uint32_t sum) { return (sum + count / 2) / count; };
        const std::uint32_t red = average(sums[0]);
        const std::uint32_t green = m_channels == 1 ? red : average(sums[1]);
        const std::uint32_t blue = m_channels == 1 ? red : average(sums[2]);
        row[x] = 0xFF000000u | red << 16 | green << 8 | blue;
    }
    for (std::uint32_t y = group.firstShownRow + 1; y < group.endShownRow; ++y)
        std::memcpy(m_out + std::size_t(y) * m_stride, row, m_width * sizeof(std::uint32_t));
}

} // namespace pagesmith
