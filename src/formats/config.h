#pragma once
// Fixed texts of the maker that every file we write carries.
namespace tessaro::formats {

inline constexpr const char* kAuthor = "Quillmark";
inline constexpr const char* kContactUrl = "http://www.quillmark.example/tessaro";

} // namespace tessaro::formats
