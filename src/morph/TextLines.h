#pragma once
// Internal to morph: the lines and fields of the dictionaries' text files.
#include <string_view>
#include <vector>

namespace lexmora {

// The lines of a text without their line breaks (LF, with a CR before it left out too).
std::vector<std::string_view> LinesOf(std::string_view text);

// The fields of a line, separated by spaces and tabs.
std::vector<std::string_view> FieldsOf(std::string_view line);

}  // namespace lexmora
