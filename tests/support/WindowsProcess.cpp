#include "support/WindowsProcess.h"

#ifdef _WIN32

#include "platform/Utf8Paths.h"

namespace pagesmith::test {

namespace {

// Every variable of this process, then the given ones in their place.
std::wstring environmentBlock(const std::map<std::string, std::string>& added) {
    std::map<std::wstring, std::wstring> variables;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
            const std::wstring text = entry;
            const std::size_t equals = text.find(L'=', 1); // "=C:=C:\\" entries start with '='
            if (equals != std::wstring::npos)
                variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : added)
        variables[platform::wideFromUtf8(name)] = platform::wideFromUtf8(value);
    std::wstring block;
    for (const auto& [name, value] : variables)
        block += name + L'=' + value + L'\0';
    block += L'\0';
    return block;
}

HANDLE nullDevice(DWORD access) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                       0, nullptr);
}

} // namespace

std::wstring commandLineOf(const std::vector<std::string>& arguments) {
    std::wstring line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += L' ';
        const std::wstring wide = platform::wideFromUtf8(argument);
        if (!wide.empty() && wide.find_first_of(L" \t\"") == std::wstring::npos) {
            line += wide;
            continue;
        }
        // Backslashes double only before a quote, as CommandLineToArgvW reads them.
        line += L'"';
        std::size_t backslashes = 0;
        for (const wchar_t c : wide) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
            backslashes = 0;
            line += c;
        }
        line.append(2 * backslashes, L'\\');
        line += L'"';
    }
    return line;
}

WindowsProcess::WindowsProcess(const std::vector<std::string>& arguments,
                               const std::map<std::string, std::string>& environment,
                               Streams streams) {
    const HANDLE input = nullDevice(GENERIC_READ);
    const HANDLE none = nullDevice(GENERIC_WRITE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = streams.output ? streams.output : none;
    startup.hStdError = streams.error ? streams.error : none;
    std::wstring line = commandLineOf(arguments);
    std::wstring block = environmentBlock(environment);
    PROCESS_INFORMATION info{};
    if (CreateProcessW(platform::wideFromUtf8(arguments.at(0)).c_str(), line.data(), nullptr,
                       nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(),
                       nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        m_process = info.hProcess;
    }
    CloseHandle(input);
    CloseHandle(none);
}

WindowsProcess::~WindowsProcess() {
    if (m_process) {
        if (running())
            terminate(1);
        CloseHandle(m_process);
    }
}

bool WindowsProcess::running() const {
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

int WindowsProcess::wait() {
    DWORD code = 0;
    if (!m_process || WaitForSingleObject(m_process, INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(m_process, &code))
        return -1;
    return int(code);
}

void WindowsProcess::terminate(unsigned code) {
    if (m_process) {
        TerminateProcess(m_process, code);
        WaitForSingleObject(m_process, INFINITE);
    }
}

std::vector<std::string> testInChild(const std::string& testName) {
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), DWORD(self.size())));
    return {platform::utf8FromWide(self), "--gtest_filter=" + testName,
            "--gtest_also_run_disabled_tests"};
}

int runTestInChild(const std::string& testName,
                   const std::map<std::string, std::string>& environment) {
    WindowsProcess child(testInChild(testName), environment, {});
    return child.wait();
}

InheritablePipe::InheritablePipe() {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    if (!CreatePipe(&reader, &writer, &inherit, 0))
        reader = writer = nullptr;
    else
        SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0); // only the child's end goes over
}

InheritablePipe::~InheritablePipe() {
    closeReader();
    closeWriter();
}

void InheritablePipe::closeReader() {
    if (reader)
        CloseHandle(reader);
    reader = nullptr;
}

void InheritablePipe::closeWriter() {
    if (writer)
        CloseHandle(writer);
    writer = nullptr;
}

} // namespace pagesmith::test

#endif
