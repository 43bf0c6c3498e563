// The one event queue of the toolkit: every event of the main window, its
// menu bar and accelerators, the dialogs and the script passes through
// postEvent, and the editor's loops read it with WMessage.
#include <QApplication>
#include <QEventLoop>

#include "toolkit/core.h"
#include "toolkit/internal.h"
#include "toolkit/panel.h"
#include "toolkit/session.h"

namespace toolkit {

namespace {
bool defaultReported(int type) {
    switch (type) {
        case EventType::KeyDown:
        case EventType::MenuSelect:
        case EventType::PushButton:
        case EventType::MouseButDown:
        case EventType::Expose:
        case EventType::Resize:
        case EventType::CloseRequest:
        case 13:
        case 14:
        case EventType::PanelRow: return true;
        default: return false;
    }
}
}  // namespace

std::array<bool, lastEventType + 1> defaultEventTable() {
    std::array<bool, lastEventType + 1> table{};
    for (int t = firstEventType; t <= lastEventType; ++t) table[std::size_t(t)] = defaultReported(t);
    return table;
}

void resetEventTable() { core().enabled = defaultEventTable(); }

bool eventEnabled(int type) {
    return type >= firstEventType && type <= lastEventType && core().enabled[std::size_t(type)];
}

void postEvent(int type, const EventRecord& event) {
    if (eventEnabled(type)) core().queue.emplace_back(type, event);
}

namespace {
// Takes the first queued event whose type is still enabled; types switched
// off after they were queued are dropped on the way.
bool popEnabled(int& type, EventRecord& event) {
    auto& q = core().queue;
    while (!q.empty()) {
        auto [t, e] = q.front();
        q.pop_front();
        if (eventEnabled(t)) {
            type = t;
            event = e;
            return true;
        }
    }
    return false;
}
}  // namespace

}  // namespace toolkit

void WMessageEnable(int type, int state) {
    if (type < toolkit::firstEventType || type > toolkit::lastSwitchableEventType) return;
    if (state == 0 || state == 1) toolkit::core().enabled[std::size_t(type)] = state == 1;
}

void WMessage(int& type, EventRecord& event) {
    for (;;) {
        if (!toolkit::noWindowSystem()) QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (toolkit::popEnabled(type, event)) return;
        if (toolkit::scriptActive()) {
            toolkit::runScriptUntilEvent();
            continue;
        }
        if (toolkit::noWindowSystem()) {
            // Test mode with nothing left to report: the window is closed, so
            // the editor's loops end as on the close box.
            type = EventType::CloseRequest;
            event = EventRecord{};
            return;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
