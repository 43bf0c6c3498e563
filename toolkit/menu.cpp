// Reading of the menu bar resource. Kept free of Qt so that a damaged
// resource is found by a plain test rather than by a window that lacks items.
#include "toolkit/menu.h"

#include <charconv>

#include "resources/embedded.h"

namespace toolkit {

namespace {

std::vector<std::string_view> splitBars(std::string_view line) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = line.find('|', start);
        parts.push_back(line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) return parts;
        start = bar + 1;
    }
}

bool validKey(std::string_view k) {
    if (k == "Enter") return true;
    return k.size() == 1 && ((k[0] >= 'A' && k[0] <= 'Z') || (k[0] >= '0' && k[0] <= '9'));
}

}  // namespace

MenuParse parseMenuResource(std::string_view data) {
    MenuParse out;
    int lineNo = 0;
    while (!data.empty()) {
        const std::size_t nl = data.find('\n');
        std::string_view line = data.substr(0, nl);
        data = nl == std::string_view::npos ? std::string_view{} : data.substr(nl + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const auto parts = splitBars(line);
        MenuItem item;
        const auto idText = parts[0];
        const auto [ptr, ec] = std::from_chars(idText.data(), idText.data() + idText.size(), item.id);
        if (parts.size() != 4 || ec != std::errc{} || ptr != idText.data() + idText.size() || item.id <= 0 ||
            !validKey(parts[1]) || parts[2].empty()) {
            out.error = "menu resource line " + std::to_string(lineNo) + " is not \"id|key|text|status\"";
            out.items.clear();
            return out;
        }
        item.key = std::string(parts[1]);
        item.text = std::string(parts[2]);
        item.status = std::string(parts[3]);
        out.items.push_back(std::move(item));
    }
    if (out.items.empty()) out.error = "menu resource has no items";
    return out;
}

MenuParse loadMenuResource(int id) {
    const auto data = embeddedResource("menu" + std::to_string(id) + ".txt");
    if (!data) return MenuParse{{}, "no menu resource " + std::to_string(id)};
    return parseMenuResource(*data);
}

}  // namespace toolkit
