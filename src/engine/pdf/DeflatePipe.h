#pragma once

#include <qpdf/Pipeline.hh>

#include <zlib.h>

#include <vector>

namespace pagesmith {

// Compresses what is written to it with zlib's deflate, in the zlib format
// FlateDecode reads, and hands the result to the next pipeline; finish()
// ends the stream and finishes the next pipeline too.
class DeflatePipe : public Pipeline {
public:
    // `level` as zlib's: 1 fastest to 9 smallest.
    DeflatePipe(Pipeline* next, int level);
    ~DeflatePipe() override;
    DeflatePipe(const DeflatePipe&) = delete;
    DeflatePipe& operator=(const DeflatePipe&) = delete;

    void write(unsigned char const* data, size_t length) override;
    void finish() override;

private:
    void run(int flush);

    z_stream m_stream{};
    bool m_open = false;
    std::vector<unsigned char> m_out;
};

} // namespace pagesmith
