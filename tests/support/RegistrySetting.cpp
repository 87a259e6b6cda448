#include "support/RegistrySetting.h"

#ifdef _WIN32

#include "platform/Utf8Paths.h"

#include <vector>

namespace pagesmith::test {

namespace {

const wchar_t* const kKey = L"Software\\Tolvane\\Pagesmith\\Udt";
const wchar_t* const kValue = L"pgslog";

void writeValue(const std::string& text, DWORD type) {
    const std::wstring wide = platform::wideFromUtf8(text);
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, type, wide.c_str(),
                    DWORD((wide.size() + 1) * sizeof(wchar_t)));
}

} // namespace

RegistryLogSetting::RegistryLogSetting() : m_saved(read()) {
    erase();
}

RegistryLogSetting::~RegistryLogSetting() {
    if (m_saved)
        writeValue(m_saved->text, m_saved->type);
    else
        erase();
}

std::optional<RegistryLogSetting::Value> RegistryLogSetting::read() {
    DWORD type = REG_NONE, bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_ANY | RRF_NOEXPAND, &type, text.data(),
                     &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return Value{platform::utf8FromWide(text.data()), type};
}

void RegistryLogSetting::write(const std::string& text) {
    writeValue(text, REG_SZ);
}

void RegistryLogSetting::erase() {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
}

} // namespace pagesmith::test

#endif
