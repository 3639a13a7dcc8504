#pragma once

// The application title: the main window's caption and the title of its message boxes.
inline constexpr const char* kAppTitle = "Tessle 拼图";
// The group of stored values, and the three values in it. The store matches names without
// regard to case.
inline constexpr const char* kAppKey = "Tessle";
inline constexpr const char* kMinStep33Value = "MinStep33";  // the 3 x 3 record
inline constexpr const char* kMinStep44Value = "MinStep44";  // the 4 x 4 record
inline constexpr const char* kPTypeValue = "PType";          // the picture choice, 1..4
// The maker's software page and mail address.
inline constexpr const char* kMakerSite = "https://tessle.korvanel.example";
inline constexpr const char* kMakerSoftPage = "https://tessle.korvanel.example/soft/";
inline constexpr const char* kMakerMail = "mailto:tessle@korvanel.example";
