// Access to the data files of resources/, compiled into the program.
#pragma once
#include <optional>
#include <string_view>

// The bytes of the resource file with this name (for example "menu30001.txt"),
// or nothing when the program carries no such resource.
std::optional<std::string_view> embeddedResource(std::string_view name);
