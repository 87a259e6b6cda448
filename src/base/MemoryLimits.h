#pragma once

#include <cstddef>

namespace pagesmith {

// What a run may hold in memory: the cap on any one allocation, and the
// sizes that keep a batch at a few tens of MiB whatever its folder holds.

// The most memory one allocation may take, in the program's own buffers and
// inside libtiff alike (every handle is opened with it). Sizes come from file
// headers: a small damaged or hostile file must not make the process reserve
// what its header claims. A page whose working buffer would be larger fails
// before anything is allocated. Documented in the README and the manual page.
constexpr std::size_t kMaxAllocationBytes = std::size_t(1) << 30; // 1 GiB

// A band of rows between tiles and strips: larger saves no memory worth
// having, so such odd layouts (strips many times taller than the tiles) go
// through the whole image.
constexpr std::size_t kMostBandBytes = std::size_t(32) << 20;

// A decoded strip larger than this (a page stored as one strip) is copied
// row by row instead: the encoders write the same bytes, and memory holds a
// row rather than the page.
constexpr std::size_t kMostStripBytes = std::size_t(16) << 20;

// The encoded bytes an output holds before it writes them: libtiff would
// hold a whole encoded strip (tens of MiB for a JPEG page stored as one
// strip); it writes out as it goes instead, into the same strip.
constexpr std::size_t kOutputBufferBytes = std::size_t(1) << 20;

// The band the RGBA reader decodes at once, whatever the strip height.
constexpr std::size_t kRgbaBandBytes = std::size_t(8) << 20;

// Units (strips or bands) a decoding thread holds: one being read while one
// waits to be taken; the writing thread holds a third, the one it writes.
constexpr std::size_t kUnitsPerDecoder = 2;

// What the decoding threads of one page copy may hold between them.
constexpr std::size_t kMostBytesAhead = std::size_t(48) << 20;

// The largest page decoded ahead whole while the page before is written: a
// one-bit A4 page at 600 dpi. Larger pages are decoded ahead strip by strip.
constexpr std::size_t kMostPageBytesAhead = std::size_t(4) << 20;

// The most data one image of a PDF page is made of: raw rows for a page
// that is compressed, stored strips for one whose data goes in as it is.
// qpdf holds an image's compressed data whole while it writes it (as much
// as three copies at once), so a larger page is cut into images of rows one
// under another. One strip larger than this is still one image.
constexpr std::size_t kMostPdfImageBytes = std::size_t(2) << 20;

// Files a folder batch keeps in hand per thread (begun, not yet reported): a
// file that finishes while an older one is still in hand leaves its thread
// something to do.
constexpr std::size_t kFilesInHandPerThread = 2;

// What the window's page preview may hold for one page, 64 MiB between them:
// - the most one allocation inside libtiff may take (a compressed strip or
//   tile read whole, a codec's state);
constexpr std::size_t kMostPreviewLibraryBytes = std::size_t(16) << 20;
// - the rows the preview reads at once (a strip of separate planes, a row of
//   tiles, a band of the RGBA reader), on all its threads together;
constexpr std::size_t kMostPreviewBandBytes = std::size_t(24) << 20;
// - the picture it shows, 4 bytes a pixel: a page seen at its own size is
//   drawn whole up to this, and in parts around the view above it.
constexpr std::size_t kMostPreviewPictureBytes = std::size_t(24) << 20;

} // namespace pagesmith
