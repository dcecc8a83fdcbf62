#pragma once

// Keeping the display awake while the game is played: neither the screen saver nor screen
// blanking starts. The hook in effect is SDL's (SDL_DisableScreenSaver) unless a test has set its
// own. Any thread.
class SystemActivity {
public:
    virtual ~SystemActivity() = default;

    // The user is busy with the game: the display stays on.
    virtual void keepAwake() = 0;

    static SystemActivity& current();
    // Makes `hook` (not owned) the one in effect; null goes back to SDL's.
    static void setCurrent(SystemActivity* hook);
};
