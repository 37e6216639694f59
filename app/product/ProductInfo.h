#pragma once
// The product's name and version, and the maker's addresses: one pair, shown by the About box
// and opened by the Help menu.
namespace ql {

inline constexpr char kProductName[] = "Quillory";
inline constexpr char kProductVersion[] = "Version  1.5";
inline constexpr char kMakerWebsite[] = "https://quillory.example.org/";
inline constexpr char kMakerContact[] = "mailto:support@quillory.example.org";
inline constexpr char kMakerNotice[] = "Copyright (C) the Quillory authors. Questions and suggestions are welcome.";

}  // namespace ql
