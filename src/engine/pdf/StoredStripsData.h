#pragma once

#include "engine/pdf/PdfPageSource.h"
#include "engine/pdf/StoredStrips.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pagesmith {

// The data of an image that the document holds as the file stores it: a head
// of the provider's own, then strips one after another, each without its
// first `skip` bytes, their bits turned round for a file that stores the
// least significant bit first. Nothing is decoded.
class StoredStripsData : public QPDFObjectHandle::StreamDataProvider {
public:
    StoredStripsData(PdfPageSource source, StoredStrips layout, std::vector<std::uint32_t> strips,
                     std::string head, std::size_t skip, bool reverseBits,
                     std::shared_ptr<PageDamage> damage);

    void provideStreamData(QPDFObjGen const& object, Pipeline* pipeline) override;

private:
    PdfPageSource m_source;
    StoredStrips m_layout;
    std::vector<std::uint32_t> m_strips;
    std::string m_head;
    std::size_t m_skip;
    bool m_reverseBits;
    std::shared_ptr<PageDamage> m_damage;
};

} // namespace pagesmith
