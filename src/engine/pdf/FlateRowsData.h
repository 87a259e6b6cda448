#pragma once

#include "engine/pdf/PdfPageSource.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace pagesmith {

class CoreBudget;

// Which rows of a page an image takes.
enum class RowKind {
    Stored,   // as the codec decodes them (DecodedRows), for kinds PDF shows as they are
    EightBit, // as 8-bit grey, RGB or CMYK (EightBitRows), for every other kind
};

// Rows `first` to `first + rows` of a page, decoded when the document is
// written, each through PNG's filters where `pixelBytes` is not 0, then
// compressed with deflate, on a core of `cores` of its own where one is free
// and the rows are many. A row that cannot be read goes in as zeros and is
// counted in the damage.
class FlateRowsData : public QPDFObjectHandle::StreamDataProvider {
public:
    FlateRowsData(PdfPageSource source, RowKind kind, std::uint32_t length, std::uint32_t first,
                  std::uint32_t rows, std::size_t rowBytes, std::size_t pixelBytes, int level,
                  CoreBudget* cores, std::shared_ptr<PageDamage> damage);

    void provideStreamData(QPDFObjGen const& object, Pipeline* pipeline) override;

private:
    PdfPageSource m_source;
    RowKind m_kind;
    std::uint32_t m_length; // of the page
    std::uint32_t m_first;
    std::uint32_t m_rows;
    std::size_t m_rowBytes;
    std::size_t m_pixelBytes;
    int m_level;
    CoreBudget* m_cores;
    std::shared_ptr<PageDamage> m_damage;
};

} // namespace pagesmith
