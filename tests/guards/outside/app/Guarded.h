#pragma once

// Asks which system it is built for, outside platform/.
#ifdef __APPLE__
constexpr char kSeparator = '/';
#elif defined(_WIN32)
constexpr char kSeparator = '\\';
#endif
