#pragma once

// The installed game is setgid "games" so that every user of the machine can write the one
// shared record store. It runs with that group only where it is needed: start-up gives it up
// (keeping it as the saved set-group-ID) and a store write takes it back for its own length.
namespace store {

// Call first thing in main, before any library loads plugins or reads the environment.
void dropGameGroup();

// Holds the game group (if the program has one) and a umask that lets the group write the
// files it creates, for the lifetime of the object.
class GameGroupScope {
  public:
    GameGroupScope();
    ~GameGroupScope();
    GameGroupScope(const GameGroupScope&) = delete;
    GameGroupScope& operator=(const GameGroupScope&) = delete;

  private:
    bool raised_ = false;
    unsigned oldMask_ = 0;
};

}  // namespace store
