#include "toolkit/session.h"

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

void traceCall(const char* op, std::initializer_list<double> args, std::string_view text) {
    if (!gatherDrawCall(op, args, text) || !session().tracing) return;
    session().trace.push_back(TraceEntry{op, std::vector<double>(args), std::string(text)});
}

void traceCall(const char* op, std::span<const float> x, std::span<const float> y) {
    if (!gatherDrawCall(op, x, y) || !session().tracing) return;
    TraceEntry e{op, {}, {}};
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        e.args.push_back(x[i]);
        e.args.push_back(y[i]);
    }
    session().trace.push_back(std::move(e));
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
