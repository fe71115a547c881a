#include "FontWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

FontWarmUp::FontWarmUp()
{
    try {
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to be had: the first window reads the fonts itself.
    }
}

FontWarmUp::~FontWarmUp()
{
    Wait();
}

void FontWarmUp::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
