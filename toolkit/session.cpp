// The toolkit's test mode and session records: queued answers for message
// boxes and file selections, the records of the boxes and selections shown,
// the trace of drawing calls, and the last error of the toolkit calls.
#include "toolkit/session.h"

#include <utility>

#include "toolkit/internal.h"
#include "toolkit/session_internal.h"

namespace toolkit {

SessionState& sessionState() {
    static SessionState s;
    return s;
}

void setHeadless(bool on) {
    session().headless = on;
}
bool headless() {
    return session().headless;
}

void queueAnswer(Answer a) {
    session().answers.push_back(a);
}
void queueFile(std::optional<std::string> path) {
    session().files.push_back(std::move(path));
}

std::vector<BoxRecord> takeBoxes() {
    return std::exchange(session().boxes, {});
}
std::vector<FileRecord> takeFiles() {
    return std::exchange(session().fileRecords, {});
}

void resetSession() {
    const bool h = session().headless;
    session() = SessionState{};
    session().headless = h;
    resetPanel();
}

void setTrace(bool on) {
    session().tracing = on;
}
std::vector<TraceEntry> takeTrace() {
    return std::exchange(session().trace, {});
}

int exitCodeFor(Answer a) {
    switch (a) {
        case Answer::Ok:
        case Answer::Yes:
        case Answer::Retry: return 1;
        case Answer::Cancel:
        case Answer::Ignore: return 0;
        case Answer::No:
        case Answer::Abort: return 2;
    }
    return 0;
}

}  // namespace toolkit
