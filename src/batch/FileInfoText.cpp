#include "batch/FileInfoText.h"

#include "inspect/ReportLines.h"

namespace pagesmith {

std::string fileInfoText(std::uintmax_t size,
                         std::optional<std::chrono::system_clock::time_point> lastWrite) {
    std::string text = formatText("%u,", static_cast<unsigned>(static_cast<std::uint32_t>(size)));
    if (!lastWrite)
        return text;
    using namespace std::chrono;
    // floor, not a cast, so times before 1970 land on the right day.
    const auto day = floor<days>(*lastWrite);
    const year_month_day date{day};
    const hh_mm_ss time{floor<minutes>(*lastWrite - day)};
    text += formatText("%04d.%02u.%02u %02d:%02d", static_cast<int>(date.year()),
                       static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                       static_cast<int>(time.hours().count()),
                       static_cast<int>(time.minutes().count()));
    return text;
}

} // namespace pagesmith
