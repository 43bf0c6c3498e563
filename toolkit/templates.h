// Dialog templates and their option blocks as plain data: the parser that
// turns the text resources of resources/ into a DialogTemplate. Free of Qt
// so that a malformed resource is found by a test without any window.
#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

enum class FieldKind { Text, HLine, VLine, Real, Integer, Spin, List, CheckBox, Radio, Button };
enum class Align { Left, Right, Centre };

struct FontOption {
    int points = 8;
    std::string face = "MS Sans Serif";
    int weight = 400;  // 700 bold
    bool italic = false;
    bool operator==(const FontOption&) const = default;
};

// Red, green, blue 0..255; 256 in a component means the system's colour.
struct ColourOption {
    std::array<int, 3> text{256, 256, 256};
    std::array<int, 3> background{256, 256, 256};
    bool operator==(const ColourOption&) const = default;
};

// Fixed-point display "(fW.D)" of a real field.
struct FormatOption {
    int width = 0, decimals = 0;
    bool operator==(const FormatOption&) const = default;
};

struct RangeOption {
    double lowest = 0, highest = 0;
    bool operator==(const RangeOption&) const = default;
};

struct MenuOption {
    std::vector<std::string> items;
    int selected = 0;  // 1-based, 0 none
    bool operator==(const MenuOption&) const = default;
};

struct FieldTemplate {
    int id = 0;
    FieldKind kind = FieldKind::Text;
    std::string text;                         // label, or the initial value of a number field
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    bool groupStart = false;
    Align align = Align::Left;
    bool readOnly = false;
    bool isDefault = false;
    int picture = 0;  // picture resource shown on a push button, 0 none
    // From the option block:
    std::optional<int> check;
    std::optional<RangeOption> range;
    std::optional<FontOption> font;
    std::optional<ColourOption> colours;
    std::optional<FormatOption> format;
    std::optional<MenuOption> menu;
};

struct DialogTemplate {
    int id = 0;
    std::string title;
    int width = 0, height = 0;  // client area in dialog units
    FontOption font;
    std::vector<FieldTemplate> fields;  // template order

    // Index of the field with this identifier, or -1.
    int indexOf(int fieldId) const;
};

bool isNumberField(FieldKind k);

// Fills t from the template text. On a malformed line returns a message
// naming the line and leaves t incomplete.
std::optional<std::string> parseDialogTemplate(std::string_view text, DialogTemplate& t);

// Applies an option block to the fields of t; a message on a malformed line
// or a line naming a field that t does not have.
std::optional<std::string> applyOptionBlock(std::string_view text, DialogTemplate& t);

// Looks up a resource by file name; the program's own embedded resources by
// default, replaced by tests that need a malformed one.
using ResourceLookup = std::function<std::optional<std::string_view>(std::string_view)>;

struct TemplateLoad {
    std::optional<DialogTemplate> dialog;
    int code = 0;  // 0, or the toolkit error code of the failure
    std::string message;
};

// The template "dlgID-template.txt" with its option block "dlgID-options.txt".
// No template: code 1007. A malformed template or option block: code 1088.
TemplateLoad loadDialogTemplate(int id, const ResourceLookup& lookup);

std::string templateResourceName(int id);
std::string optionResourceName(int id);
std::string pictureResourceName(int picture);

}  // namespace toolkit
