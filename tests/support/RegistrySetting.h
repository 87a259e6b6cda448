#pragma once

// The stored run-log path where Windows keeps it, reached with the
// registry's own calls rather than through the program: the value `pgslog`
// of HKEY_CURRENT_USER\Software\Tolvane\Pagesmith\Udt.
#ifdef _WIN32

#include <windows.h>

#include <optional>
#include <string>

namespace pagesmith::test {

// Clears the value for a test and puts back what it held when the object goes.
class RegistryLogSetting {
public:
    RegistryLogSetting();
    ~RegistryLogSetting();
    RegistryLogSetting(const RegistryLogSetting&) = delete;
    RegistryLogSetting& operator=(const RegistryLogSetting&) = delete;

    // The text and its registry type; none when the value is absent.
    struct Value {
        std::string text;
        DWORD type = REG_NONE;
    };
    static std::optional<Value> read();
    static void write(const std::string& text);
    static void erase();

private:
    std::optional<Value> m_saved;
};

} // namespace pagesmith::test

#endif
