#include "app/WindowOption.h"

#include "platform/Utf8Paths.h"

#include <filesystem>
#include <string_view>

namespace pagesmith {

std::optional<std::vector<std::string>> windowOptionPaths(int argc, const char* const* argv) {
    if (argc < 2 || !argv[1] || std::string_view(argv[1]) != "--window")
        return std::nullopt;
    std::vector<std::string> paths;
    for (int i = 2; i < argc; ++i) {
        if (!argv[i] || !*argv[i])
            continue;
        std::error_code error;
        const std::filesystem::path absolute =
            std::filesystem::absolute(platform::pathFromUtf8(argv[i]), error);
        paths.push_back(error ? std::string(argv[i])
                              : platform::utf8FromPath(absolute.lexically_normal()));
    }
    return paths;
}

} // namespace pagesmith
