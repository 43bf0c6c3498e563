// The menu bar resources: items with their command ids, accelerator keys and
// status strings, read from the menu data file of resources/.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

struct MenuItem {
    int id = 0;
    std::string key;     // "A".."Z", "0".."9" or "Enter"
    std::string text;    // with the ampersand before the underlined letter
    std::string status;  // shown in the status bar while the item is highlighted; may be empty
};

struct MenuParse {
    std::vector<MenuItem> items;
    std::string error;  // empty when the resource was read completely
};

// Lines "id|key|text|status"; blank lines and lines starting with # are skipped.
MenuParse parseMenuResource(std::string_view data);

// The menu of resource id (file "menu<id>.txt"); an error when it is missing.
MenuParse loadMenuResource(int id);

}  // namespace toolkit
