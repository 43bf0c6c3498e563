// The toolkit's own state for queued answers, records and the trace.
#pragma once
#include <deque>

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

int exitCodeFor(Answer a);

}  // namespace toolkit
