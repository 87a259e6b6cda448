#pragma once

#include <cstddef>
#include <cstdint>

namespace pagesmith {

// What a run may hold in memory and how far it shares its work out: the cap
// on any one allocation, the sizes that keep a batch at a few tens of MiB
// whatever its folder holds, the depth of every queue between threads, the
// least work worth another thread, and the most a run takes at once.

// ---- Any allocation ----

// The most memory one allocation may take, in the program's own buffers and
// inside libtiff alike (every handle is opened with it). Sizes come from file
// headers: a small damaged or hostile file must not make the process reserve
// what its header claims. A page whose working buffer would be larger fails
// before anything is allocated. Documented in the README and the manual page.
constexpr std::size_t kMaxAllocationBytes = std::size_t(1) << 30; // 1 GiB

// ---- Copying a page ----

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

// ---- Decoding ahead on other threads (engine/threads) ----

// Units (strips or bands) a decoding thread holds: one being read while one
// waits to be taken; the writing thread holds a third, the one it writes.
// They are also the depth of the decoder's two queues (units read, buffers
// free), so its queues never hold more than its buffers.
constexpr std::size_t kUnitsPerDecoder = 2;

// What the decoding threads of one page copy may hold between them.
constexpr std::size_t kMostBytesAhead = std::size_t(48) << 20;

// Below this a page is done before threads and handles would pay for themselves.
constexpr std::size_t kLeastPageBytesDecodedAhead = std::size_t(256) << 10;

// The largest page decoded ahead whole while the page before is written: a
// one-bit A4 page at 600 dpi. Larger pages are decoded ahead strip by strip.
// Its strips wait for the run in a queue as deep as the page has strips, so
// the thread that decodes it never waits for the run to take them.
constexpr std::size_t kMostPageBytesAhead = std::size_t(4) << 20;

// Pages a run has asked to be decoded ahead that their thread has not begun:
// a run asks for the next page only once it has taken the one asked for
// before, so there is never more than one. A caller asking for more would
// wait until the thread begins the page before, which it does without
// waiting for the run.
constexpr std::size_t kPagesAskedAhead = 1;

// ---- Fax pages made from colour and grey ----

// The largest one-bit page held in memory; larger pages take the scratch file.
constexpr std::size_t kMostBilevelPageBytes = std::size_t(16) << 20;

// Rows a decoding thread reduces at once, at least.
constexpr std::uint32_t kLeastDitherBandRows = 64;

// ---- PDF documents ----

// The most data one image of a PDF page is made of: raw rows for a page
// that is compressed, stored strips for one whose data goes in as it is.
// qpdf holds an image's compressed data whole while it writes it (as much
// as three copies at once), so a larger page is cut into images of rows one
// under another. One strip larger than this is still one image.
constexpr std::size_t kMostPdfImageBytes = std::size_t(2) << 20;

// Rows of an image to deflate that keep another core busy enough to pay off:
// from this many bytes on, a core of the budget shares the compression.
constexpr std::uint64_t kLeastBytesDeflatedBehind = std::uint64_t(512) << 10;

// Bytes of a piece deflated on the other core, and how many may wait for it:
// a megabyte. The writing thread waits when they are all waiting; the other
// core takes them without waiting for it.
constexpr std::size_t kDeflatePieceBytes = std::size_t(256) << 10;
constexpr std::size_t kDeflatePiecesWaiting = 4;

// The compressed bytes deflate makes at a time before they are handed on.
constexpr std::size_t kDeflateOutputBytes = std::size_t(64) << 10;

// ---- A folder batch ----

// Files a folder batch keeps in hand per thread (begun, not yet reported): a
// file that finishes while an older one is still in hand leaves its thread
// something to do.
constexpr std::size_t kFilesInHandPerThread = 2;

// Tasks a worker pool holds per thread, handed in and not yet taken: as many
// as a folder batch keeps in hand, so its batch never waits to hand one in.
// A caller that hands in more waits until a thread takes one; the threads
// never wait for the caller.
constexpr std::size_t kTasksWaitingPerPoolThread = kFilesInHandPerThread;

// Most files one merge takes; further selected files are skipped.
constexpr int kMaxMergeFiles = 1000;

// ---- The window's page preview ----

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

// The parts a page is read in at once, on threads of their own. Threads start
// only where each has units enough of a size worth sharing out: at least
// kPreviewUnitsPerPart units (strips or tiles) of at most
// kMostPreviewSharedUnitBytes each.
constexpr int kMostPreviewParts = 4;
constexpr std::uint32_t kPreviewUnitsPerPart = 4;
constexpr std::size_t kMostPreviewSharedUnitBytes = std::size_t(1) << 20;

} // namespace pagesmith
