#pragma once

#include "tiff/OpenTiff.h"

#include <tiffio.h>

#include <string>
#include <utility>

namespace pagesmith {

// An open TIFF file, closed when the handle goes out of scope.
class TiffHandle {
public:
    TiffHandle() = default;
    explicit TiffHandle(TIFF* tiff) : m_tiff(tiff) {}
    TiffHandle(const std::string& path, const char* mode, TiffMessages* messages = nullptr)
        : m_tiff(openTiff(path, mode, messages)) {}
    ~TiffHandle() { close(); }

    TiffHandle(TiffHandle&& other) noexcept : m_tiff(std::exchange(other.m_tiff, nullptr)) {}
    TiffHandle& operator=(TiffHandle&& other) noexcept {
        if (this != &other) {
            close();
            m_tiff = std::exchange(other.m_tiff, nullptr);
        }
        return *this;
    }
    TiffHandle(const TiffHandle&) = delete;
    TiffHandle& operator=(const TiffHandle&) = delete;

    TIFF* get() const { return m_tiff; }
    explicit operator bool() const { return m_tiff != nullptr; }

    void close() {
        if (m_tiff) {
            TIFFClose(m_tiff);
            m_tiff = nullptr;
        }
    }

private:
    TIFF* m_tiff = nullptr;
};

} // namespace pagesmith
