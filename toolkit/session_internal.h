// The toolkit's own state for queued answers, records and the trace.
#pragma once
#include <deque>
#include <initializer_list>
#include <span>
#include <string_view>
#include <utility>

#include "toolkit/session.h"

namespace toolkit {

struct SessionState {
    bool headless = false;
    bool tracing = false;
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> files;
    std::vector<BoxRecord> boxes;
    std::vector<FileRecord> fileRecords;
    std::vector<TraceEntry> trace;
    int lastError = 0;
    int lastDialogExit = 0;
};

SessionState& sessionState();
// Asked on every drawing call; kept as core() keeps its state (core.h).
inline SessionState* sessionKept = nullptr;
inline SessionState& session() {
    if (!sessionKept) [[unlikely]]
        sessionKept = &sessionState();
    return *sessionKept;
}
void traceCall(const char* op, std::initializer_list<double> args, std::string_view text = {});
// A polygon's corners, x and y by turns.
void traceCall(const char* op, std::span<const float> x, std::span<const float> y);
// While a background is gathered (drawing.cpp), every traced call also goes
// to it; false when a replayed call must be neither traced nor gathered.
bool gatherDrawCall(const char* op, std::initializer_list<double> args, std::string_view text);
bool gatherDrawCall(const char* op, std::span<const float> x, std::span<const float> y);
int exitCodeFor(Answer a);

}  // namespace toolkit
