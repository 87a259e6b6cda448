#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace pagesmith {

// Every phrase of the reports (the engine's lines, the batch's headers and
// summaries, the run log's leads, the window's job lines, the information
// report), each written once, by code. A phrase is a printf format whose
// arguments are checked against it when the program is compiled.
enum class ReportMessage {
    // A conversion run: its inputs and output.
    ConvertLine,
    MergeLine,
    OutputIsAnInput,
    CannotCreate,
    CannotOpen,
    CannotWrite,
    NotMerged,
    NoPageWritten,
    StoppedNotWritten,
    // A reason given by an input or a page's set-up, as it gave it.
    Reason,
    // A conversion run: its pages.
    PageSuccess,
    PageFailed,
    PageDamaged,
    DirectoryUnreadable,
    PagesUnreachable,
    CodecMissing,
    PageFault,
    BilevelRejected,
    NoCopyRoutine,
    ClaimedBits,
    PixelsNotCopied,
    RowUnreadable,
    NotDithered,
    NoRowReadable,
    PixelsUnreadable,
    PageNotAdded,
    // Why an input or a page cannot be taken, as the "  -- " line of
    // Reason says it.
    ListMalformed,
    ListedPageMissing,
    OneRowPage,
    NotBilevelSamples,
    NotEightBitSamples,
    PhotometricNotColour,
    PaletteWithoutMap,
    NoSamples,
    UnknownSampleFormat,
    UnknownSampleBits,
    UnknownFloatBits,
    RgbSampleCount,
    PaletteBits,
    NotInks,
    UnknownPhotometric,
    NoPixels,
    UnreadableCompression,
    // The fault box of a page whose copy threw.
    FaultCaption,
    FaultText,
    // A batch: its header, its own lines for each file, its summary.
    ConvertHeader,
    MergeHeader,
    CountEachHeader,
    CountTotalHeader,
    StartConverting,
    StartMerging,
    LeftoversLeftOut,
    NotATiffFile,
    PathTooLong,
    PagesOfFile,
    NotConvertedOutputTaken,
    OverwroteOutput,
    StoppedAfter,
    FilesConverted,
    FilesConvertedWithPages,
    FilesFailed,
    TotalPages,
    TotalPagesInFolder,
    FilesMerged,
    MergedFilesFailed,
    // A watch's notes and entries.
    FolderMissing,
    FolderBack,
    FolderGone,
    WatchStateUnsaved,
    WatchStateUnsavedForFailures,
    // How a run-log entry begins, and what ends it.
    CommandLead,
    WindowLead,
    LogSeparator,
    // The window's "Results" page: a job's opening and closing lines.
    WindowStartConverting,
    WindowStartMerging,
    WindowStartWatching,
    WindowSeparator,
    WindowStoppedAfter,
    WindowTotal,
    WindowFailed,
    // The information report ("Tiff Info" page).
    InfoHeader,
    InfoSeparator,
    InfoFolderTotal,
    InfoUnreadable,
    InfoName,
    InfoPages,
    InfoSize,
    InfoCompression,
};

namespace messages {

struct Entry {
    ReportMessage code;
    const char* text;
};

// Kept in the order of the codes (checked below). Several texts are near
// twins on purpose: the run log's lines end in "\n", the window's and the
// engine's in "\r\n", and each has always read so.
inline constexpr Entry kTable[] = {
    {ReportMessage::ConvertLine, "Convert: %s -> %s\r\n"},
    {ReportMessage::MergeLine, "Merge:   %s -> %s\r\n"},
    {ReportMessage::OutputIsAnInput, "  -- Failed: output is the same file as the input %s\r\n"},
    {ReportMessage::CannotCreate, "  -- Failed: cannot create %s\r\n"},
    {ReportMessage::CannotOpen, "  -- Failed: cannot open %s\r\n"},
    {ReportMessage::CannotWrite, "  -- Failed: cannot write %s\r\n"},
    {ReportMessage::NotMerged, "  -- Failed: %s not merged: %s cannot be written\r\n"},
    {ReportMessage::NoPageWritten, "  -- Failed: no page written to %s\r\n"},
    {ReportMessage::StoppedNotWritten, "  -- Stopped: %s not written\r\n"},
    {ReportMessage::Reason, "  -- %s\r\n"},
    {ReportMessage::PageSuccess, "  -- Page %d success\r\n"},
    {ReportMessage::PageFailed, "  -- Page %d failed\r\n"},
    {ReportMessage::PageDamaged,
     "  -- Page %d damaged: %llu of %u rows could not be read, left blank\r\n"},
    {ReportMessage::DirectoryUnreadable,
     "  -- Failed: the directory of page %d cannot be read\r\n"},
    {ReportMessage::PagesUnreachable, "  -- Failed: the pages after page %d cannot be reached\r\n"},
    {ReportMessage::CodecMissing,
     "  -- Failed: page %d is compressed with %u, which cannot be read\r\n"},
    {ReportMessage::PageFault, "  -- Failed: %s\r\n"},
    {ReportMessage::BilevelRejected, "  -- Failed to convert as you're trying to convert grayscale "
                                     "or color tiff to B&W tiff\r\n"},
    {ReportMessage::NoCopyRoutine, "  -- tiffcp: %s: Don't know how to copy/convert image.\r\n"},
    {ReportMessage::ClaimedBits, "  -- Failed: page %d claims %u bits per sample\r\n"},
    {ReportMessage::PixelsNotCopied, "  -- Failed: the pixels of page %d cannot be copied\r\n"},
    {ReportMessage::RowUnreadable, "  -- Failed: a row of page %d could not be read\r\n"},
    {ReportMessage::NotDithered, "  -- Failed: page %d cannot be dithered to black and white\r\n"},
    {ReportMessage::NoRowReadable, "  -- Failed: none of the %u rows of page %d could be read\r\n"},
    {ReportMessage::PixelsUnreadable, "  -- Failed: the pixels of page %d cannot be read\r\n"},
    {ReportMessage::PageNotAdded, "  -- Failed: page %d cannot be added to the document\r\n"},
    {ReportMessage::ListMalformed, "Expected a , separated image # list after %s"},
    {ReportMessage::ListedPageMissing, "%s,%lld not found!"},
    {ReportMessage::OneRowPage, "Sorry, a page of one row has no row left once dithered."},
    {ReportMessage::NotBilevelSamples, "Not a b&w image."},
    {ReportMessage::NotEightBitSamples, "Sorry, only handle 8-bit samples."},
    {ReportMessage::PhotometricNotColour,
     "Sorry, cannot decode photometric %u of %u-bit samples as colour."},
    {ReportMessage::PaletteWithoutMap, "Palette page without a colour map."},
    {ReportMessage::NoSamples, "Bad samples/pixel 0."},
    {ReportMessage::UnknownSampleFormat, "Sorry, cannot handle sample format %u."},
    {ReportMessage::UnknownSampleBits, "Sorry, cannot handle %u-bit samples."},
    {ReportMessage::UnknownFloatBits, "Sorry, cannot handle %u-bit floating-point samples."},
    {ReportMessage::RgbSampleCount, "Bad samples/pixel %u for RGB."},
    {ReportMessage::PaletteBits, "Sorry, cannot handle %u-bit palette indices."},
    {ReportMessage::NotInks, "Sorry, can only handle CMYK inks."},
    {ReportMessage::UnknownPhotometric, "Bad photometric %u; cannot make grey or colour of it."},
    {ReportMessage::NoPixels, "The page has no pixels (%u x %u)."},
    {ReportMessage::UnreadableCompression, "Compression %u cannot be read."},
    {ReportMessage::FaultCaption, "Exception Error"},
    {ReportMessage::FaultText,
     "Fail to convert this tiff file, try to convert it to another compression mode"},
    {ReportMessage::ConvertHeader, "FUC: Convert tiff files: folder %s --> %s\n"},
    {ReportMessage::MergeHeader, "FUC: Merge tiff files: folder %s --> %s\n"},
    {ReportMessage::CountEachHeader, "FUC: Count tiff file pages in folder %s\n"},
    {ReportMessage::CountTotalHeader, "FUC: Count total pages of all tiff files in folder\n"},
    {ReportMessage::StartConverting, "Start converting ...\n"},
    {ReportMessage::StartMerging, "Start merging ...\n"},
    {ReportMessage::LeftoversLeftOut,
     "Left out %d .partial- file(s) left over from an interrupted run\r\n"},
    {ReportMessage::NotATiffFile,
     "Failed to get tiff page(s) of %s : NOT a tiff file or file not exist \r\n"},
    {ReportMessage::PathTooLong, "Failed to convert %s : path too long\r\n"},
    {ReportMessage::PagesOfFile, " (%d) page(s) in tiff-file: %s\n"},
    {ReportMessage::NotConvertedOutputTaken,
     "  -- Failed: %s not converted: %s was written from %s in this run\r\n"},
    {ReportMessage::OverwroteOutput, "  -- Overwrote %s, written from %s earlier in this run\r\n"},
    {ReportMessage::StoppedAfter, "Stopped: %d of %d selected file(s) done\n"},
    {ReportMessage::FilesConverted, " (%d) tiff file(s) converted\n"},
    {ReportMessage::FilesConvertedWithPages, " (%d) tiff file(s) converted, (%d) total page(s)\n"},
    {ReportMessage::FilesFailed, " (%d) tiff file(s) failed\n"},
    {ReportMessage::TotalPages, " (%d) tiff file(s), (%d) total page(s)\n"},
    {ReportMessage::TotalPagesInFolder, " (%d) tiff file(s), (%d) total page(s) in folder %s\n"},
    {ReportMessage::FilesMerged, "%d files merged\n"},
    {ReportMessage::MergedFilesFailed, "%d files failed\n"},
    {ReportMessage::FolderMissing, "Watched folder %s is not there: waiting for it\n"},
    {ReportMessage::FolderBack, "Watched folder %s is back\n"},
    {ReportMessage::FolderGone, "Watched folder %s is gone: waiting for it to come back\n"},
    {ReportMessage::WatchStateUnsaved,
     "Could not write %s: a restart converts these files again\n"},
    {ReportMessage::WatchStateUnsavedForFailures,
     "Could not write %s: a restart tries these files again\n"},
    {ReportMessage::CommandLead, "\nCMD : %s %s\n"},
    {ReportMessage::WindowLead, "\nPagesmith in GUI mode\n"},
    {ReportMessage::LogSeparator, "--------------------------------------------------\n"},
    {ReportMessage::WindowStartConverting, "Start converting ... \r\n"},
    {ReportMessage::WindowStartMerging, "Start merging ... \r\n"},
    {ReportMessage::WindowStartWatching, "Start watching %s ... \r\n"},
    {ReportMessage::WindowSeparator, "----------------\r\n"},
    {ReportMessage::WindowStoppedAfter, "Stopped: %d of %d selected file(s) done\r\n"},
    {ReportMessage::WindowTotal, "Total %d tiff file(s) are convertered/merged.\r\n"},
    {ReportMessage::WindowFailed, "Total %d tiff file(s) failed.\r\n"},
    {ReportMessage::InfoHeader, "Inside tiff file info: \r\n"},
    {ReportMessage::InfoSeparator, "---------------------- \r\n"},
    {ReportMessage::InfoFolderTotal, "Total %d tiff files in this folder\r\n"},
    {ReportMessage::InfoUnreadable, "Error tiff file : %s\r\n"},
    {ReportMessage::InfoName, "Tiff Name:   %s\r\n"},
    {ReportMessage::InfoPages, "Total pages: %u\r\n"},
    {ReportMessage::InfoSize, "Image Size:  %u x %u\r\n"},
    {ReportMessage::InfoCompression, "Compression: %s\r\n"},
};

inline constexpr std::size_t kCount = sizeof kTable / sizeof kTable[0];

consteval bool inCodeOrder() {
    for (std::size_t i = 0; i < kCount; ++i)
        if (std::size_t(kTable[i].code) != i)
            return false;
    return true;
}
static_assert(inCodeOrder(), "the table lists every message once, in the order of the codes");
static_assert(std::size_t(ReportMessage::InfoCompression) + 1 == kCount,
              "every message has a text");

// What a conversion of a format takes, and what an argument gives.
enum class Argument { Int, Unsigned, LongLong, UnsignedLongLong, Text, None };

template <typename T> constexpr Argument argumentOf() {
    using Plain = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<Plain, int>)
        return Argument::Int;
    else if constexpr (std::is_same_v<Plain, unsigned>)
        return Argument::Unsigned;
    else if constexpr (std::is_same_v<Plain, long long>)
        return Argument::LongLong;
    else if constexpr (std::is_same_v<Plain, unsigned long long>)
        return Argument::UnsignedLongLong;
    else if constexpr (std::is_same_v<Plain, std::string> ||
                       std::is_convertible_v<Plain, const char*>)
        return Argument::Text;
    else
        return Argument::None;
}

// The argument the conversion at `text[at]` (just after its '%') takes;
// `at` moves past it. Only the conversions the table uses are known.
constexpr Argument conversionAt(std::string_view text, std::size_t& at) {
    int longs = 0;
    for (; at < text.size() && text[at] == 'l'; ++at)
        ++longs;
    if (at >= text.size())
        return Argument::None;
    const char conversion = text[at++];
    if (conversion == 'd' && longs == 0)
        return Argument::Int;
    if (conversion == 'u' && longs == 0)
        return Argument::Unsigned;
    if (conversion == 'd' && longs == 2)
        return Argument::LongLong;
    if (conversion == 'u' && longs == 2)
        return Argument::UnsignedLongLong;
    if (conversion == 's' && longs == 0)
        return Argument::Text;
    return Argument::None;
}

// Whether `arguments` are what the format `text` takes, one by one.
template <std::size_t N>
constexpr bool argumentsFit(std::string_view text, const Argument (&arguments)[N],
                            std::size_t count) {
    std::size_t next = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at++] != '%')
            continue;
        if (at < text.size() && text[at] == '%') {
            ++at;
            continue;
        }
        if (next >= count || conversionAt(text, at) != arguments[next])
            return false;
        ++next;
    }
    return next == count;
}

constexpr const char* textOf(ReportMessage code) {
    return kTable[std::size_t(code)].text;
}

// The part of a report line that says what happened, as a failure's reason:
// without the lead of engine lines ("  -- ") and the line end.
struct Body {
    std::size_t lead = 0;
    std::size_t tail = 0;
};

constexpr Body bodyOf(std::string_view text) {
    Body body;
    while (body.lead < text.size() && text[body.lead] == ' ')
        ++body.lead;
    if (text.substr(body.lead, 3) == "-- ")
        body.lead += 3;
    while (body.tail < text.size() - body.lead &&
           (text[text.size() - 1 - body.tail] == '\n' ||
            text[text.size() - 1 - body.tail] == '\r' || text[text.size() - 1 - body.tail] == ' '))
        ++body.tail;
    return body;
}

std::string formatWithTable(const char* format, ...);

inline const char* passed(const std::string& text) {
    return text.c_str();
}
template <typename T> T passed(T value) {
    return value;
}

} // namespace messages

// A line of a report, and what it says as a failure's reason.
struct ReportLine {
    std::string text;
    std::string reason;
};

// The text of a message without arguments.
constexpr const char* messageText(ReportMessage code) {
    return messages::textOf(code);
}

// A message with its arguments: names as the report shows them (shownName),
// numbers as int, unsigned or unsigned long long, as its format says.
template <ReportMessage code, typename... Args> std::string formatMessage(const Args&... args) {
    constexpr messages::Argument given[] = {messages::argumentOf<Args>()...,
                                            messages::Argument::None};
    static_assert(messages::argumentsFit(messages::textOf(code), given, sizeof...(Args)),
                  "the arguments do not fit the message's format");
    return messages::formatWithTable(messages::textOf(code), messages::passed(args)...);
}

// The same as a report line with its reason.
template <ReportMessage code, typename... Args> ReportLine reportLine(const Args&... args) {
    std::string text = formatMessage<code>(args...);
    constexpr messages::Body body = messages::bodyOf(messages::textOf(code));
    std::string reason = text.substr(body.lead, text.size() - body.lead - body.tail);
    return {std::move(text), std::move(reason)};
}

} // namespace pagesmith
