#pragma once

#include "batch/MainWindowHooks.h"
#include "batch/MessageSink.h"
#include "engine/ProgressReport.h"

#include <map>
#include <string>
#include <vector>

namespace pagesmith::test {

struct RecordedMessage {
    std::string caption;
    std::string text;
    MessageKind kind;
};

// Collects message boxes instead of showing them.
class MessageRecorder : public MessageSink {
public:
    void show(const std::string& caption, const std::string& text, MessageKind kind) override {
        messages.push_back({caption, text, kind});
    }

    std::vector<RecordedMessage> messages;
};

// Collects what the engine and the information report send to their report.
class ReportRecorder : public ProgressReport {
public:
    void addLine(const std::string& text) override { lines += text; }
    void markFile(std::size_t fileIndex, const std::string& status) override {
        marks[fileIndex] = status;
    }
    void showError(const std::string& caption, const std::string& text) override {
        errors.push_back({caption, text, MessageKind::Error});
    }

    std::string lines;
    std::map<std::size_t, std::string> marks;
    std::vector<RecordedMessage> errors;
};

// Stands in for the main window's pages and file list.
class FakeMainWindow : public MainWindowHooks {
public:
    void appendToPage(int page, const std::string& text) override { pages[page] += text; }
    std::string pageText(int page) override { return pages[page]; }
    void setFileStatus(std::size_t fileIndex, const std::string& status) override {
        statuses[fileIndex] = status;
    }

    std::map<int, std::string> pages;
    std::map<std::size_t, std::string> statuses;
};

} // namespace pagesmith::test
