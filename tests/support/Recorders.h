#pragma once

#include "batch/BatchObserver.h"
#include "batch/BatchResult.h"
#include "batch/MessageSink.h"
#include "engine/ProgressReport.h"
#include "inspect/ReportLines.h"

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
class ReportRecorder : public ProgressReport, public ReportLines {
public:
    void addLine(const ReportLine& line) override { lines += line.text; }
    void addLine(const std::string& text) override { lines += text; }
    void showError(const std::string& caption, const std::string& text) override {
        errors.push_back({caption, text, MessageKind::Error});
    }
    void noteFailure() override { ++failures; }

    std::string lines;
    std::vector<RecordedMessage> errors;
    int failures = 0;
};

// Follows a batch run as a window or the command line does: the files as
// they begin ("done/total path"), the report lines, each file's outcome, the
// fault boxes; and stops the run once `stopAfter` files have begun.
class RunRecorder : public BatchObserver {
public:
    void fileStarted(int done, int total, const std::string& path) override {
        started.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + path);
    }
    void reportLine(const std::string& text) override { lines += text; }
    void fileFinished(const FileOutcome& outcome) override { outcomes.push_back(outcome); }
    void faultShown(const std::string& caption, const std::string& text) override {
        faults.push_back({caption, text, MessageKind::Error});
    }
    bool stopRequested() override { return int(started.size()) >= stopAfter; }

    int stopAfter = 1 << 30;
    std::vector<std::string> started;
    std::string lines;
    std::vector<FileOutcome> outcomes;
    std::vector<RecordedMessage> faults;
};

} // namespace pagesmith::test
