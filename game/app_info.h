#pragma once

// The application title: the main window's caption and the title of its message boxes.
inline constexpr const char* kAppTitle = "Tessle 拼图";
// The group of stored values.
inline constexpr const char* kAppKey = "Tessle";
// The maker's software page and mail address.
inline constexpr const char* kMakerSite = "https://tessle.korvanel.example";
inline constexpr const char* kMakerSoftPage = "https://tessle.korvanel.example/soft/";
inline constexpr const char* kMakerMail = "mailto:tessle@korvanel.example";
