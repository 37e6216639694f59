#pragma once
// The maker's web page and contact address, as the program shows and opens them.
namespace ql {

inline constexpr char kMakerHomepage[] = "https://quillory.example/";
inline constexpr char kMakerEmail[] = "feedback@quillory.example";

}  // namespace ql
