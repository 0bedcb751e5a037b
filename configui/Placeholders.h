#pragma once
// The three markers an author may put into captions, memo texts and action parameters, each
// replaced by a value of the saver's settings with every apostrophe doubled.

#include <string>
#include <string_view>

namespace vec {

struct PlaceholderValues {
  std::string productName;  // for "<ScreensaverName>"
  std::string publisher;    // for "<CompanyName>"
  std::string website;      // for "<Website>"
};

// Every occurrence of each marker (exact case), in the order product name, company,
// website.
std::string ReplacePlaceholders(std::string_view text, const PlaceholderValues& values);

// An action parameter as the action runs it: split into lines, the markers replaced in
// every line, joined again with CR LF after every line (so an empty parameter stays empty
// and any other ends in CR LF).
std::string PrepareActionParameter(std::string_view parameter, const PlaceholderValues& values);

}  // namespace vec
