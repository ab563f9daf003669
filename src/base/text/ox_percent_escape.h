#pragma once
// Names inside line-based text files (journals, manifests, records): every
// control byte, DEL, "%" and the caller's own separators are written as
// "%XX", so a name may hold any byte and still stay one field.
#include <optional>
#include <string>
#include <string_view>

// `separators`: further bytes the format uses between fields.
std::string PercentEscaped(std::string_view text, std::string_view separators = {});

// The bytes `PercentEscaped` was given; none for a "%" that is not followed
// by two hex digits.
std::optional<std::string> PercentUnescaped(std::string_view text);
