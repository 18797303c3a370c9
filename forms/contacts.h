// The contact lines of the about window, kept together so they are easy to change.
#pragma once

namespace forms::contacts {

inline constexpr const char* kProgramName = "Quorinimage";
inline constexpr const char* kPlaceLine = "Example City, tel. +1 555 0100";
inline constexpr const char* kNameLine = "The Quorinimage project";
inline constexpr const char* kMailAddress = "contact@example.org";
inline constexpr const char* kWebAddress = "https://quorinimage.example.org";

}  // namespace forms::contacts
