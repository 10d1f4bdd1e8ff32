// Names of parameterised cases, the last argument of INSTANTIATE_TEST_SUITE_P: words of letters, digits and
// underscores, as GoogleTest requires, so that GoogleTest and ctest say which row ran.
#pragma once
#include <gtest/gtest.h>
#include <cctype>
#include <string>

namespace test {

// A row named by its own Name.
inline constexpr auto RowName = [](const auto& info) { return std::string(info.param.Name); };

// A row named by what the PrintTo beside its type writes: a minus sign as "Minus", any other character that a
// name may not hold as an underscore.
inline constexpr auto PrintedName = [](const auto& info) {
  std::string name;
  for (const char c : ::testing::PrintToString(info.param)) {
    if (c == '-') name += "Minus";
    else name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  }
  return name;
};

}  // namespace test
