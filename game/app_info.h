#pragma once

// The application title: the main window's caption and the title of its message boxes.
inline constexpr const char* kAppTitle = "Tessle 拼图";
// The group of stored values, and the three values in it. The store matches names without
// regard to case.
inline constexpr const char* kAppKey = "Tessle";
inline constexpr const char* kMinStep33Value = "MinStep33";  // the 3 x 3 record
inline constexpr const char* kMinStep44Value = "MinStep44";  // the 4 x 4 record
inline constexpr const char* kPTypeValue = "PType";          // the picture choice, 1..4
// The fewest moves that can win a dealt board: no deal lies nearer the solved board. The deal
// is a single cycle through every cell, blank included, so the solved board and the boards a
// few moves from it are never dealt; a breadth-first search from the solved board over the
// blank's moves meets the first board the deal can make at depth 4 on 3 x 3 and 7 on 4 x 4
// (tests/game/record_floor_test.cpp repeats it). A stored record below these was never won,
// only written; it counts as no record, and the record writer refuses one.
inline constexpr int kMinStep33Floor = 4;
inline constexpr int kMinStep44Floor = 7;
// The maker's software page and mail address.
inline constexpr const char* kMakerSite = "https://tessle.korvanel.example";
inline constexpr const char* kMakerSoftPage = "https://tessle.korvanel.example/soft/";
inline constexpr const char* kMakerMail = "mailto:tessle@korvanel.example";
