// Test mode and scripted sessions: message boxes and file selections are
// answered from a queue and recorded, and drawing calls can be traced, so
// that the procedures above the toolkit are tested as plain functions.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace toolkit {

enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct BoxRecord {
    int buttons = 0, icon = 0, defaultButton = 1;
    std::string message, title;  // trimmed, as shown
    int exitCode = 0;            // what WInfoDialog(4) returned afterwards
    bool usedDefault = false;    // no answer was queued
};

struct FileRecord {
    std::string filter, title, pathIn;
    std::optional<std::string> chosen;  // nothing: cancelled
};

// Headless: no window and no QApplication; boxes and file selections come
// from the queues, drawing goes only to the trace. For unit tests.
void setHeadless(bool on);
bool headless();

void queueAnswer(Answer a);
void queueFile(std::optional<std::string> path);  // nothing = cancel
std::vector<BoxRecord> takeBoxes();
std::vector<FileRecord> takeFiles();
// Forgets queued answers, records, trace and last error: a fresh test.
void resetSession();

// One recorded drawing call, with its arguments in user units, for example
// {"IGrLineTo", {10, -50}, ""} or {"IGrCharOut", {0, 30.4}, " 0"}.
struct TraceEntry {
    std::string op;
    std::vector<double> args;
    std::string text;
};
void setTrace(bool on);
std::vector<TraceEntry> takeTrace();

}  // namespace toolkit
