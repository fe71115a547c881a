#pragma once

#include <thread>

// The first font a window asks for makes fontconfig read its configuration
// and its font caches: the largest single cost of showing the first window.
// Made before the application object, a FontWarmUp has that reading done on
// another core while the display connection is made and the data folder
// prepared. Wait() before the first window saves doing it twice; without
// it, nothing goes wrong (fontconfig keeps whichever reading ends first).
class FontWarmUp
{
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    void Wait();

private:
    std::thread m_thread;
};
