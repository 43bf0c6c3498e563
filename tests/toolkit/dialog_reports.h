// The dialog reports that the dialog tests compare: FieldChanged and
// PushButton events reduced to what the editor acts on.
#pragma once
#include <ostream>

#include "toolkit/toolkit.h"

struct Report {
    int type, source, data1, data2;
    bool operator==(const Report&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Report& r) {
    return os << "{type " << r.type << ", source " << r.source << ", " << r.data1 << ", " << r.data2 << "}";
}

inline Report changed(int dialog, int before, int field) {
    return {EventType::FieldChanged, dialog, before, field};
}
inline Report pushed(int dialog, int button) {
    return {EventType::PushButton, dialog, button, 0};
}

// A PushButton carries no second value, so it compares without one.
inline Report reportOf(int type, const EventRecord& e) {
    return {type, e.source, e.data1, type == EventType::PushButton ? 0 : e.data2};
}
