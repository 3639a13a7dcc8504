# Windows application settings for the game executable.
