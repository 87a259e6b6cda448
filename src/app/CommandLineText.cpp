#include "app/CommandLineText.h"

namespace pagesmith {

namespace {

bool holdsWhiteSpace(const std::string& text) {
    return text.find_first_of(" \t\r\n\v\f") != std::string::npos;
}

// The header shows an argument with blanks in it (a folder with spaces) as
// one word by quoting its value.
std::string quotedArgument(const std::string& argument) {
    if (!holdsWhiteSpace(argument) || argument.find('"') != std::string::npos)
        return argument;
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos)
        return '"' + argument + '"';
    return argument.substr(0, equals + 1) + '"' + argument.substr(equals + 1) + '"';
}

} // namespace

std::vector<std::string> commandLineArguments(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i] ? argv[i] : "");
    return arguments;
}

std::optional<std::string> commandLineText(int argc, const char* const* argv) {
    if (argc < 2)
        return std::nullopt;
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            text += ' ';
        text += quotedArgument(argv[i] ? argv[i] : "");
    }
    return text;
}

} // namespace pagesmith
