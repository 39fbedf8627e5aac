#pragma once

#include <string>
#include <string_view>

// The program keeps its texts in UTF-8; the wide-character API takes UTF-16.
[[nodiscard]] std::wstring toWide(std::string_view utf8);
[[nodiscard]] std::string toUtf8(std::wstring_view wide);
