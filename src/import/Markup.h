#pragma once
// Internal to the importer: reducing the markup of dictionary sources to plain text.
#include <string>
#include <string_view>

namespace lexmora::import {

enum class MarkupKind {
  Html,   // line breaks only from tags (<br>, <p>, <div>, <li>, ...); runs of white space are one
  Lines,  // Pango and XDXF markup: the text's own line breaks stay, and block tags add more
};

// The text with tags removed (and the contents of <script> and <style>), character and entity
// references decoded, and line breaks as '\n'. Unknown entities are kept as written.
std::wstring StripMarkup(std::wstring_view text, MarkupKind kind);

}  // namespace lexmora::import
