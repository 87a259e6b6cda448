#pragma once

#include "app/MainWindowHooks.h"
#include "app/MessageSink.h"

#include <map>
#include <string>
#include <vector>

namespace pagesmith::test {

// Collects message boxes instead of showing them; installed for its lifetime.
class MessageRecorder : public MessageSink {
public:
    struct Message {
        std::string caption;
        std::string text;
        MessageKind kind;
    };

    MessageRecorder() : m_previous(setMessageSink(this)) {}
    ~MessageRecorder() override { setMessageSink(m_previous); }

    void show(const std::string& caption, const std::string& text, MessageKind kind) override {
        messages.push_back({caption, text, kind});
    }

    std::vector<Message> messages;

private:
    MessageSink* m_previous;
};

// Stands in for the main window's pages and file list; installed as the
// process's main window for its lifetime.
class FakeMainWindow : public MainWindowHooks {
public:
    FakeMainWindow();
    ~FakeMainWindow() override;

    void appendToPage(int page, const std::string& text) override { pages[page] += text; }
    std::string pageText(int page) override { return pages[page]; }
    void setFileStatus(std::size_t fileIndex, const std::string& status) override {
        statuses[fileIndex] = status;
    }

    std::map<int, std::string> pages;
    std::map<std::size_t, std::string> statuses;

private:
    MainWindowHooks* m_previous;
};

} // namespace pagesmith::test
