// The dialog operations (WDialogLoad ... WDialogClearField) on the field
// store, the FieldChanged and PushButton reports of the operator's input,
// and the dialogs' side of the seams with the main window and scripts.
#include "toolkit/dialogs.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "base/fields.h"
#include "base/fixed_text.h"
#include "resources/embedded.h"
#include "toolkit/internal.h"
#include "toolkit/session_internal.h"

namespace toolkit {

namespace {

struct DialogsState {
    std::vector<std::unique_ptr<LoadedDialog>> loaded;
    int current = 0;  // identifier of the current dialog, 0 none
    ResourceLookup lookup;
};

DialogsState& dialogs() {
    static DialogsState s;
    return s;
}

void fail(int code) {
    session().lastError = code;
}

LoadedDialog* currentDialog() {
    LoadedDialog* d = findDialog(dialogs().current);
    if (!d) fail(ToolkitError::NoDialog);
    return d;
}

bool kindIn(FieldKind k, std::initializer_list<FieldKind> kinds) {
    for (FieldKind x : kinds)
        if (x == k) return true;
    return false;
}

// Template index of field in the current dialog when it is of one of the
// kinds; otherwise records why and gives -1.
int fieldOf(LoadedDialog*& d, int field, std::initializer_list<FieldKind> kinds) {
    d = currentDialog();
    if (!d) return -1;
    const int i = d->tpl.indexOf(field);
    if (i < 0 || (kinds.size() > 0 && !kindIn(d->field(i).kind, kinds))) {
        fail(ToolkitError::BadField);
        return -1;
    }
    return i;
}

constexpr std::initializer_list<FieldKind> numberKinds = {FieldKind::Real, FieldKind::Integer,
                                                          FieldKind::Spin};

void mirror(LoadedDialog& d, int index) {
    if (d.view) viewMirror(*d.view, index);
}

void report(const LoadedDialog& d, int before, int field) {
    EventRecord e;
    e.source = d.id();
    e.data1 = before;
    e.data2 = field;
    postEvent(EventType::FieldChanged, e);
}

// Radio button index on and the rest of its group off.
void setRadioOn(LoadedDialog& d, int index) {
    const auto [first, last] = radioGroup(d.tpl, index);
    for (int i = first; i <= last; ++i) {
        d.value(i).on = i == index;
        mirror(d, i);
    }
}

std::string notShown(int dialog, int field = 0) {
    if (field == 0) return "dialog " + std::to_string(dialog) + " is not shown";
    return "field " + std::to_string(field) + " of dialog " + std::to_string(dialog) + " is not shown";
}

// The shown dialog and the shown field of kind for an input helper.
int shownField(LoadedDialog*& d, int dialog, int field, std::initializer_list<FieldKind> kinds,
               std::string& error) {
    d = findDialog(dialog);
    if (!d || !d->shown) {
        error = notShown(dialog);
        return -1;
    }
    const int i = d->tpl.indexOf(field);
    if (i < 0 || d->value(i).state == FieldState::Hidden) {
        error = notShown(dialog, field);
        return -1;
    }
    if (!kindIn(d->field(i).kind, kinds)) {
        error = "field " + std::to_string(field) + " of dialog " + std::to_string(dialog) +
                " does not take this input";
        return -1;
    }
    return i;
}

bool takesInput(const LoadedDialog& d, int index) {
    return d.value(index).state == FieldState::Enabled;
}

bool parseInt(const std::string& w, int& v) {
    const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
    return !w.empty() && r.ec == std::errc{} && r.ptr == w.data() + w.size();
}

}  // namespace

// ---- The store ----

std::vector<FieldValue> initialValues(const DialogTemplate& t) {
    std::vector<FieldValue> values;
    values.reserve(t.fields.size());
    for (const auto& f : t.fields) {
        FieldValue v;
        v.text = f.text;
        v.on = f.check.value_or(0) == 1;
        if (f.menu) {
            v.items = f.menu->items;
            v.selected = f.menu->selected;
        }
        values.push_back(std::move(v));
    }
    return values;
}

std::pair<int, int> radioGroup(const DialogTemplate& t, int index) {
    const auto isRadio = [&](int i) {
        return t.fields[static_cast<std::size_t>(i)].kind == FieldKind::Radio;
    };
    const auto starts = [&](int i) { return t.fields[static_cast<std::size_t>(i)].groupStart; };
    int first = index, last = index;
    while (first > 0 && !starts(first) && isRadio(first - 1)) --first;
    while (last + 1 < static_cast<int>(t.fields.size()) && isRadio(last + 1) && !starts(last + 1)) ++last;
    return {first, last};
}

std::optional<double> readDialogNumber(std::string_view text) {
    const auto b = text.find_first_not_of(" \t");
    if (b == std::string_view::npos) return std::nullopt;
    text = text.substr(b, text.find_last_not_of(" \t") - b + 1);
    if (text.front() == '+') text.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || r.ec != std::errc{} || r.ptr != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

int firstBadNumberField(const LoadedDialog& d, int focusIndex) {
    const auto bad = [&](int i) {
        const FieldTemplate& f = d.field(i);
        if (!isNumberField(f.kind) || f.readOnly || !takesInput(d, i)) return false;
        const auto v = readDialogNumber(d.value(i).text);
        return !v || (f.range && (*v < f.range->lowest || *v > f.range->highest));
    };
    if (focusIndex >= 0 && bad(focusIndex)) return focusIndex;
    for (int i = 0; i < static_cast<int>(d.values.size()); ++i)
        if (bad(i)) return i;
    return -1;
}

LoadedDialog* findDialog(int id) {
    for (auto& d : dialogs().loaded)
        if (d->id() == id) return d.get();
    return nullptr;
}

void setDialogResources(ResourceLookup lookup) {
    dialogs().lookup = std::move(lookup);
}

// ---- The operator's input ----

void fieldTookFocus(LoadedDialog& d, int index) {
    const int id = d.field(index).id;
    if (id == d.currentField) return;
    report(d, d.currentField, id);
    d.currentField = id;
}

void radioClicked(LoadedDialog& d, int index) {
    setRadioOn(d, index);
    report(d, d.field(index).id, d.field(index).id);
}

void checkBoxClicked(LoadedDialog& d, int index, bool on) {
    d.value(index).on = on;
    mirror(d, index);
    report(d, d.field(index).id, d.field(index).id);
}

void listSelected(LoadedDialog& d, int index, int row) {
    d.value(index).selected = row;
    report(d, d.field(index).id, d.field(index).id);
}

void textEdited(LoadedDialog& d, int index, std::string text) {
    d.value(index).text = std::move(text);
}

int buttonPressed(LoadedDialog& d, int index) {
    const int id = d.field(index).id;
    if (id == 1) {
        const int bad = firstBadNumberField(d, d.tpl.indexOf(d.currentField));
        if (bad >= 0) {
            if (d.view)
                viewRefuse(*d.view, bad);
            else
                fieldTookFocus(d, bad);
            return bad;
        }
    }
    EventRecord e;
    e.source = d.id();
    e.data1 = id;
    postEvent(EventType::PushButton, e);
    return -1;
}

// ---- Input helpers ----

bool dialogClick(int dialog, int field, std::string& error) {
    LoadedDialog* d = nullptr;
    const int i =
        shownField(d, dialog, field, {FieldKind::Button, FieldKind::Radio, FieldKind::CheckBox}, error);
    if (i < 0) return false;
    if (d->view) return viewClick(*d->view, i, error);
    if (!takesInput(*d, i)) return true;  // a dimmed field ignores the click
    fieldTookFocus(*d, i);
    switch (d->field(i).kind) {
        case FieldKind::Radio: radioClicked(*d, i); break;
        case FieldKind::CheckBox: checkBoxClicked(*d, i, !d->value(i).on); break;
        default: buttonPressed(*d, i); break;
    }
    return true;
}

bool dialogType(int dialog, int field, const std::string& text, std::string& error) {
    LoadedDialog* d = nullptr;
    const int i = shownField(d, dialog, field, numberKinds, error);
    if (i < 0) return false;
    if (d->view) return viewType(*d->view, i, text, error);
    if (!takesInput(*d, i) || d->field(i).readOnly) return true;
    fieldTookFocus(*d, i);
    textEdited(*d, i, text);
    return true;
}

bool dialogSelect(int dialog, int field, int row, std::string& error) {
    LoadedDialog* d = nullptr;
    const int i = shownField(d, dialog, field, {FieldKind::List}, error);
    if (i < 0) return false;
    if (row < 1 || row > static_cast<int>(d->value(i).items.size())) {
        error = "list " + std::to_string(field) + " of dialog " + std::to_string(dialog) + " has no row " +
                std::to_string(row);
        return false;
    }
    if (d->view) return viewSelect(*d->view, i, row, error);
    if (!takesInput(*d, i)) return true;
    fieldTookFocus(*d, i);
    if (d->value(i).selected != row) listSelected(*d, i, row);
    return true;
}

// ---- Seams with the main window and the scripts ----

void unloadAllDialogs() {
    dialogs().loaded.clear();
    dialogs().current = 0;
}

bool dialogHasKeyboard() {
    return windowSystemPresent() && viewHasKeyboard();
}

bool runDialogScriptCommand(const std::vector<std::string>& words, std::string& error) {
    const std::string cmd = words.empty() ? std::string() : words[0];
    int dialog = 0, field = 0, row = 0;
    const bool named = words.size() >= 3 && parseInt(words[1], dialog) && parseInt(words[2], field);
    if (named && cmd == "click" && words.size() == 3) return dialogClick(dialog, field, error);
    if (named && cmd == "select" && words.size() == 4 && parseInt(words[3], row))
        return dialogSelect(dialog, field, row, error);
    if (named && cmd == "type" && words.size() >= 4) {
        std::string text = words[3];
        for (std::size_t i = 4; i < words.size(); ++i) text += " " + words[i];
        return dialogType(dialog, field, text, error);
    }
    error = "expected: click DLG FIELD, type DLG FIELD TEXT or select DLG FIELD ROW";
    return false;
}

}  // namespace toolkit

using namespace toolkit;

// ---- The toolkit operations ----

void WDialogLoad(int id) {
    auto& s = dialogs();
    if (findDialog(id)) {
        s.current = id;
        return;
    }
    TemplateLoad load = loadDialogTemplate(id, s.lookup ? s.lookup : ResourceLookup(embeddedResource));
    if (!load.dialog) {
        std::fprintf(stderr, "dropfix: dialog %d not loaded: %s\n", id, load.message.c_str());
        fail(load.code);
        return;
    }
    // The widgets are made when the dialog is first shown (WDialogShow):
    // the editor loads its dialogs at start-up, and most of a session never
    // opens some of them.
    if (windowSystemPresent() && !clientArea()) {
        std::fprintf(stderr, "dropfix: dialog %d not loaded: the main window is not open\n", id);
        fail(ToolkitError::CreateFailed);
        return;
    }
    auto d = std::make_unique<LoadedDialog>();
    d->tpl = std::move(*load.dialog);
    d->values = initialValues(d->tpl);
    s.loaded.push_back(std::move(d));
    s.current = id;
}

void WDialogSelect(int id) {
    if (findDialog(id))
        dialogs().current = id;
    else
        fail(ToolkitError::NotLoaded);
}

void WDialogShow(int x, int y, int focus, int type) {
    LoadedDialog* d = currentDialog();
    if (!d) return;
    if (type == 1 || type == 3) fail(ToolkitError::ShownNonModal);
    int focusIndex = -1;
    if (focus > 0) {
        focusIndex = d->tpl.indexOf(focus);
        if (focusIndex < 0) fail(ToolkitError::BadField);
    }
    const bool again = d->shown;
    d->shown = true;
    if (!d->view && windowSystemPresent()) {
        std::string error;
        d->view = createDialogView(*d, error);
        if (!d->view) {
            std::fprintf(stderr, "dropfix: dialog %d not shown: %s\n", d->tpl.id, error.c_str());
            fail(ToolkitError::CreateFailed);
        }
    }
    if (d->view)
        viewShow(*d->view, x, y, focusIndex);
    else if (!again && focusIndex >= 0 && takesInput(*d, focusIndex))
        fieldTookFocus(*d, focusIndex);
}

void WDialogHide() {
    LoadedDialog* d = currentDialog();
    if (!d) return;
    d->shown = false;
    if (d->view) viewHide(*d->view);
}

void WDialogPutString(int field, std::string_view text) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field,
                          {FieldKind::Text, FieldKind::Real, FieldKind::Integer, FieldKind::Spin,
                           FieldKind::CheckBox, FieldKind::Radio, FieldKind::Button});
    if (i < 0) return;
    d->value(i).text = std::string(trimRight(text));
    mirror(*d, i);
}

void WDialogPutReal(int field, float value) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, numberKinds);
    if (i < 0) return;
    const auto& fmt = d->field(i).format;
    std::string text = fmt ? writeF(value, fmt->width, fmt->decimals) : freeFormat(value);
    const auto b = text.find_first_not_of(' ');
    d->value(i).text = b == std::string::npos ? std::string() : text.substr(b);
    mirror(*d, i);
}

void WDialogPutInteger(int field, int value) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, numberKinds);
    if (i < 0) return;
    d->value(i).text = std::to_string(value);
    mirror(*d, i);
}

void WDialogPutRadioButton(int field) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, {FieldKind::Radio});
    if (i >= 0) setRadioOn(*d, i);
}

void WDialogPutCheckBox(int field, int state) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, {FieldKind::CheckBox});
    if (i < 0) return;
    d->value(i).on = state != 0;
    mirror(*d, i);
}

void WDialogPutMenu(int field, std::span<const std::string> items, int count, int selected) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, {FieldKind::List});
    if (i < 0) return;
    const std::size_t n = count <= 0 ? 0 : std::min(items.size(), static_cast<std::size_t>(count));
    FieldValue& v = d->value(i);
    v.items.clear();
    for (std::size_t k = 0; k < n; ++k) v.items.emplace_back(trimRight(items[k]));
    v.selected = selected >= 1 && static_cast<std::size_t>(selected) <= n ? selected : 0;
    mirror(*d, i);
}

void WDialogGetReal(int field, float& value) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, numberKinds);
    if (i < 0) return;
    const auto v = readDialogNumber(d->value(i).text);
    if (!v) {
        value = -999.0f;
        fail(ToolkitError::EmptyValue);
        return;
    }
    value = static_cast<float>(*v);
}

void WDialogGetInteger(int field, int& value) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, numberKinds);
    if (i < 0) return;
    const auto v = readDialogNumber(d->value(i).text);
    if (!v) {
        value = -999;
        fail(ToolkitError::EmptyValue);
        return;
    }
    // Cut toward zero; a value beyond the integers saturates.
    const double t = std::trunc(*v);
    if (t >= static_cast<double>(std::numeric_limits<int>::max()))
        value = std::numeric_limits<int>::max();
    else if (t <= static_cast<double>(std::numeric_limits<int>::min()))
        value = std::numeric_limits<int>::min();
    else
        value = static_cast<int>(t);
}

void WDialogGetRadioButton(int field, int& index) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, {FieldKind::Radio});
    if (i < 0) return;
    const auto [first, last] = radioGroup(d->tpl, i);
    for (int k = first; k <= last; ++k) {
        if (d->value(k).on) {
            index = k - first + 1;
            return;
        }
    }
    index = 0;
    fail(ToolkitError::EmptyValue);
}

void WDialogGetCheckBox(int field, int& state) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, {FieldKind::CheckBox, FieldKind::Radio});
    if (i >= 0) state = d->value(i).on ? 1 : 0;
}

void WDialogGetMenu(int field, int& index) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, {FieldKind::List});
    if (i < 0) return;
    index = d->value(i).selected;
    if (index == 0) {
        index = -999;
        fail(ToolkitError::EmptyValue);
    }
}

void WDialogFieldState(int field, int state) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field, {});
    if (i < 0 || state < 0 || state > 3) return;
    d->value(i).state = static_cast<FieldState>(state);
    mirror(*d, i);
}

void WDialogClearField(int field) {
    LoadedDialog* d = nullptr;
    const int i = fieldOf(d, field,
                          {FieldKind::Text, FieldKind::Real, FieldKind::Integer, FieldKind::Spin,
                           FieldKind::List, FieldKind::CheckBox, FieldKind::Radio});
    if (i < 0) return;
    FieldValue& v = d->value(i);
    switch (d->field(i).kind) {
        case FieldKind::List:
            v.items.clear();
            v.selected = 0;
            break;
        case FieldKind::CheckBox: v.on = false; break;
        case FieldKind::Radio: {
            const auto [first, last] = radioGroup(d->tpl, i);
            for (int k = first; k <= last; ++k) {
                d->value(k).on = false;
                mirror(*d, k);
            }
            return;
        }
        default: v.text.clear(); break;
    }
    mirror(*d, i);
}
