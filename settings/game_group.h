#pragma once

// The installed game is setgid "games" so that every user of the machine can write the one
// shared record store through the record writer (settings/record_writer.h). The game process
// itself must keep no way back to that group.
namespace store {

// Call first thing in main, before any library loads plugins or reads the environment. In a
// setgid game it starts the record writer with the group, then sets the real, effective and
// saved group IDs all to the user's; it stops the program when that fails. Elsewhere it does
// nothing and saves go straight to the file.
void dropGameGroup();

}  // namespace store
