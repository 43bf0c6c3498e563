// Parsing of the dialog template and option block resources. Every fault in
// a resource is reported with its line, so a bad edit of a data file shows up
// at load instead of as a half-built dialog.
#include "toolkit/templates.h"

#include <charconv>

#include "toolkit/toolkit.h"

namespace toolkit {

namespace {

std::string_view trim(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Splits off the next blank-separated word of s.
std::string_view nextWord(std::string_view& s) {
    s = trim(s);
    const auto e = s.find_first_of(" \t");
    const std::string_view w = s.substr(0, e);
    s = e == std::string_view::npos ? std::string_view{} : s.substr(e);
    return w;
}

std::optional<int> toInt(std::string_view w) {
    int v = 0;
    const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
    if (w.empty() || r.ec != std::errc{} || r.ptr != w.data() + w.size()) return std::nullopt;
    return v;
}

std::optional<double> toReal(std::string_view w) {
    if (!w.empty() && w.front() == '+') w.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
    if (w.empty() || r.ec != std::errc{} || r.ptr != w.data() + w.size()) return std::nullopt;
    return v;
}

// Reads n integers from s; nothing when a word is missing or not an integer.
template <std::size_t N>
std::optional<std::array<int, N>> ints(std::string_view& s) {
    std::array<int, N> out{};
    for (auto& v : out) {
        const auto i = toInt(nextWord(s));
        if (!i) return std::nullopt;
        v = *i;
    }
    return out;
}

// The text between the first and the last double quote of s.
std::optional<std::string> quoted(std::string_view s) {
    s = trim(s);
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return std::nullopt;
    return std::string(s.substr(1, s.size() - 2));
}

std::string lineError(int line, std::string_view what) {
    return "line " + std::to_string(line) + ": " + std::string(what);
}

std::optional<FieldKind> kindNamed(std::string_view w) {
    static const std::pair<std::string_view, FieldKind> names[] = {
        {"text", FieldKind::Text},    {"hline", FieldKind::HLine},       {"vline", FieldKind::VLine},
        {"real", FieldKind::Real},    {"integer", FieldKind::Integer},   {"spin", FieldKind::Spin},
        {"list", FieldKind::List},    {"checkbox", FieldKind::CheckBox}, {"radio", FieldKind::Radio},
        {"button", FieldKind::Button}};
    for (const auto& [n, k] : names)
        if (n == w) return k;
    return std::nullopt;
}

// Flags: "-" or a comma-separated list of group, default, right, centre,
// readonly, picture=N.
std::optional<std::string> parseFlags(std::string_view w, FieldTemplate& f) {
    if (w == "-") return std::nullopt;
    while (!w.empty()) {
        const auto c = w.find(',');
        const std::string_view flag = w.substr(0, c);
        w = c == std::string_view::npos ? std::string_view{} : w.substr(c + 1);
        if (flag == "group")
            f.groupStart = true;
        else if (flag == "default")
            f.isDefault = true;
        else if (flag == "right")
            f.align = Align::Right;
        else if (flag == "centre")
            f.align = Align::Centre;
        else if (flag == "readonly")
            f.readOnly = true;
        else if (flag.starts_with("picture=")) {
            const auto p = toInt(flag.substr(8));
            if (!p || *p <= 0) return "bad picture number";
            f.picture = *p;
        } else {
            return "unknown flag \"" + std::string(flag) + "\"";
        }
    }
    return std::nullopt;
}

std::optional<std::string> parseFieldLine(std::string_view rest, DialogTemplate& t) {
    FieldTemplate f;
    const auto id = toInt(nextWord(rest));
    if (!id || *id <= 0) return "a field line begins with a positive identifier";
    f.id = *id;
    const auto kind = kindNamed(nextWord(rest));
    if (!kind) return "unknown field kind";
    f.kind = *kind;
    const auto box = ints<4>(rest);
    if (!box) return "position and size need four integers";
    f.x = (*box)[0], f.y = (*box)[1], f.width = (*box)[2], f.height = (*box)[3];
    if (f.x < 0 || f.y < 0 || f.width <= 0 || f.height <= 0) return "negative position or empty size";
    if (auto e = parseFlags(nextWord(rest), f)) return e;
    const auto text = quoted(rest);
    if (!text) return "the text must be given in double quotes";
    f.text = *text;
    if (t.indexOf(f.id) >= 0) return "field " + std::to_string(f.id) + " appears twice";
    t.fields.push_back(std::move(f));
    return std::nullopt;
}

std::optional<std::string> parseTemplateLine(std::string_view line, DialogTemplate& t, bool& haveDialog) {
    std::string_view rest = line;
    const std::string_view first = nextWord(rest);
    if (first == "dialog") {
        if (haveDialog) return "a second dialog line";
        const auto head = ints<3>(rest);
        const auto title = quoted(rest);
        if (!head || !title) return "expected: dialog ID WIDTH HEIGHT \"TITLE\"";
        if ((*head)[0] <= 0 || (*head)[1] <= 0 || (*head)[2] <= 0)
            return "dialog identifier and size must be positive";
        t.id = (*head)[0], t.width = (*head)[1], t.height = (*head)[2];
        t.title = *title;
        haveDialog = true;
        return std::nullopt;
    }
    if (!haveDialog) return "the template must begin with its dialog line";
    if (first == "font") {
        const auto points = toInt(nextWord(rest));
        const auto face = quoted(rest);
        if (!points || *points <= 0 || !face) return "expected: font POINTS \"FACE\"";
        t.font.points = *points;
        t.font.face = *face;
        return std::nullopt;
    }
    return parseFieldLine(line, t);
}

enum class Section { None, Checks, Ranges, Fonts, Colours, Formats, Menus };

std::optional<Section> sectionNamed(std::string_view w) {
    static const std::pair<std::string_view, Section> names[] = {
        {"[Checks]", Section::Checks},   {"[Ranges]", Section::Ranges},   {"[Fonts]", Section::Fonts},
        {"[Colours]", Section::Colours}, {"[Formats]", Section::Formats}, {"[Menus]", Section::Menus}};
    for (const auto& [n, s] : names)
        if (n == w) return s;
    return std::nullopt;
}

std::optional<std::string> parseFont(std::string_view rest, FieldTemplate& f) {
    FontOption font;
    const auto points = toInt(nextWord(rest));
    const auto comma = rest.find(',');
    if (!points || *points <= 0 || comma == std::string_view::npos)
        return "expected: POINTS FACE, WEIGHT ITALIC";
    font.points = *points;
    font.face = std::string(trim(rest.substr(0, comma)));
    rest = rest.substr(comma + 1);
    const auto wi = ints<2>(rest);
    if (font.face.empty() || !wi || (*wi)[0] <= 0 || ((*wi)[1] != 0 && (*wi)[1] != 1))
        return "expected: POINTS FACE, WEIGHT ITALIC";
    font.weight = (*wi)[0];
    font.italic = (*wi)[1] == 1;
    if (!trim(rest).empty()) return "extra words after the font";
    f.font = font;
    return std::nullopt;
}

std::optional<std::string> parseColours(std::string_view rest, FieldTemplate& f) {
    const auto c = ints<6>(rest);
    if (!c || !trim(rest).empty()) return "expected six colour components";
    for (int v : *c)
        if (v < 0 || v > 256) return "a colour component lies outside 0 to 256";
    f.colours = ColourOption{{(*c)[0], (*c)[1], (*c)[2]}, {(*c)[3], (*c)[4], (*c)[5]}};
    return std::nullopt;
}

std::optional<std::string> parseFormat(std::string_view rest, FieldTemplate& f) {
    const std::string_view w = trim(rest);
    const auto dot = w.find('.');
    if (w.size() < 6 || w.substr(0, 2) != "(f" || w.back() != ')' || dot == std::string_view::npos)
        return "expected a format such as (f8.3)";
    const auto width = toInt(w.substr(2, dot - 2));
    const auto decimals = toInt(w.substr(dot + 1, w.size() - dot - 2));
    if (!width || !decimals || *width <= 0 || *width > 40 || *decimals < 0 || *decimals >= *width)
        return "expected a format such as (f8.3)";
    if (f.kind != FieldKind::Real) return "a format belongs to a real field";
    f.format = FormatOption{*width, *decimals};
    return std::nullopt;
}

std::optional<std::string> parseOptionValues(Section s, std::string_view rest, FieldTemplate& f) {
    switch (s) {
        case Section::Checks: {
            const auto v = toInt(nextWord(rest));
            if (!v || (*v != 0 && *v != 1) || !trim(rest).empty()) return "a check state is 0 or 1";
            if (f.kind != FieldKind::CheckBox && f.kind != FieldKind::Radio)
                return "a check state belongs to a check box or radio button";
            f.check = *v;
            return std::nullopt;
        }
        case Section::Ranges: {
            const auto lo = toReal(nextWord(rest));
            const auto hi = toReal(nextWord(rest));
            if (!lo || !hi || *lo > *hi || !trim(rest).empty()) return "expected: LOWEST HIGHEST";
            if (!isNumberField(f.kind)) return "a range belongs to a number field";
            f.range = RangeOption{*lo, *hi};
            return std::nullopt;
        }
        case Section::Fonts: return parseFont(rest, f);
        case Section::Colours: return parseColours(rest, f);
        case Section::Formats: return parseFormat(rest, f);
        case Section::Menus:
        case Section::None: break;
    }
    return "a field line before any section";
}

// No more than a dialog could ever show; keeps a corrupt count from
// promising an unbounded list.
constexpr int maxMenuItems = 10000;

// The one radio button that the option block turned on in each group.
std::optional<std::string> checkRadioGroups(const DialogTemplate& t) {
    int onInGroup = 0;
    for (const auto& f : t.fields) {
        if (f.kind != FieldKind::Radio || f.groupStart) onInGroup = 0;
        if (f.kind == FieldKind::Radio && f.check.value_or(0) == 1 && ++onInGroup > 1)
            return "two radio buttons of one group are on (field " + std::to_string(f.id) + ")";
    }
    return std::nullopt;
}

}  // namespace

int DialogTemplate::indexOf(int fieldId) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].id == fieldId) return static_cast<int>(i);
    return -1;
}

bool isNumberField(FieldKind k) {
    return k == FieldKind::Real || k == FieldKind::Integer || k == FieldKind::Spin;
}

std::optional<std::string> parseDialogTemplate(std::string_view text, DialogTemplate& t) {
    bool haveDialog = false;
    int lineNo = 0;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        const std::string_view line = trim(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        ++lineNo;
        if (line.empty() || line.front() == '#') continue;
        if (auto e = parseTemplateLine(line, t, haveDialog)) return lineError(lineNo, *e);
    }
    if (!haveDialog) return std::string("no dialog line");
    return std::nullopt;
}

std::optional<std::string> applyOptionBlock(std::string_view text, DialogTemplate& t) {
    Section section = Section::None;
    int lineNo = 0;
    auto nextLine = [&]() {
        const auto nl = text.find('\n');
        const std::string_view line = trim(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        ++lineNo;
        return line;
    };
    while (!text.empty()) {
        std::string_view rest = nextLine();
        if (rest.empty()) continue;
        if (rest.front() == '[') {
            const auto s = sectionNamed(rest);
            if (!s) return lineError(lineNo, "unknown section " + std::string(rest));
            section = *s;
            continue;
        }
        const auto id = toInt(nextWord(rest));
        if (!id) return lineError(lineNo, "a line begins with a field identifier");
        const int index = t.indexOf(*id);
        if (index < 0)
            return lineError(lineNo,
                             "no field " + std::to_string(*id) + " in dialog " + std::to_string(t.id));
        FieldTemplate& f = t.fields[static_cast<std::size_t>(index)];
        if (section != Section::Menus) {
            if (auto e = parseOptionValues(section, rest, f)) return lineError(lineNo, *e);
            continue;
        }
        const auto head = ints<2>(rest);
        if (!head || (*head)[0] < 0 || (*head)[0] > maxMenuItems || (*head)[1] < 0 ||
            (*head)[1] > (*head)[0] || f.kind != FieldKind::List)
            return lineError(lineNo, "expected: LIST COUNT SELECTED, then the items");
        MenuOption menu{{}, (*head)[1]};
        for (int i = 0; i < (*head)[0]; ++i) {
            if (text.empty()) return lineError(lineNo, "fewer menu items than counted");
            menu.items.emplace_back(nextLine());
        }
        f.menu = std::move(menu);
    }
    return checkRadioGroups(t);
}

std::string templateResourceName(int id) {
    return "dlg" + std::to_string(id) + "-template.txt";
}
std::string optionResourceName(int id) {
    return "dlg" + std::to_string(id) + "-options.txt";
}
std::string pictureResourceName(int picture) {
    return "dlg-picture" + std::to_string(picture) + ".xpm";
}

TemplateLoad loadDialogTemplate(int id, const ResourceLookup& lookup) {
    TemplateLoad out;
    const auto tpl = lookup(templateResourceName(id));
    if (!tpl) {
        out.code = ToolkitError::NoTemplate;
        out.message = "no dialog template " + std::to_string(id);
        return out;
    }
    DialogTemplate t;
    auto error = parseDialogTemplate(*tpl, t);
    if (!error && t.id != id) error = "the template names dialog " + std::to_string(t.id);
    if (error) {
        out.code = ToolkitError::CreateFailed;
        out.message = templateResourceName(id) + ", " + *error;
        return out;
    }
    if (const auto opt = lookup(optionResourceName(id))) {
        if (auto e = applyOptionBlock(*opt, t)) {
            out.code = ToolkitError::CreateFailed;
            out.message = optionResourceName(id) + ", " + *e;
            return out;
        }
    }
    out.dialog = std::move(t);
    return out;
}

}  // namespace toolkit
