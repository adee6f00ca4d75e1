// What the core asks of the person at the keyboard, and how it waits. The dialog answers with
// message boxes, kavrelcfg on the console, the tests from a script.
#pragma once

struct Prompts {
    void* context;
    // A notice with an OK button only; returns when the user has closed it.
    void (*notice)(void* context, const char* caption, const char* text);
    // OK/Cancel with Cancel the default; true when the user chose OK.
    bool (*confirm)(void* context, const char* caption, const char* text);
    // Blocks the calling thread for the given milliseconds.
    void (*pause)(void* context, int milliseconds);
};
