// Where the main window goes so that it stands in the middle of the primary screen.
#pragma once

struct WindowOrigin {
    int x;
    int y;
};

// Each half is taken separately and truncated toward zero, so a 491-pixel window on a
// 1024-pixel screen lands at 512 - 245 = 267. Nothing clamps: a window larger than the screen
// gets a negative origin.
constexpr WindowOrigin centredOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
    return WindowOrigin{screenWidth / 2 - windowWidth / 2, screenHeight / 2 - windowHeight / 2};
}
