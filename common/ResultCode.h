#pragma once

#include <type_traits>

// The number a message, a box or a log line carries for a typed result ("Error code : -4").
// Results keep their numbers as their own types; only where a number is shown does it become
// one again.
template <typename Result>
requires std::is_enum_v<Result>
constexpr std::underlying_type_t<Result> Code(Result result) {
    return static_cast<std::underlying_type_t<Result>>(result);
}
