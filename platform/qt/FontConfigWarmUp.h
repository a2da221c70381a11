#pragma once

#include <thread>

namespace parlino {

// Reading the system's font configuration takes several milliseconds, and no text can be measured
// before it is read. This reads it on a thread of its own while the application connects to the
// display. Wait for it before the first text is measured: fontconfig would otherwise read it a
// second time, in parallel, rather than wait.
class FontConfigWarmUp final
{
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    void Wait();

private:
    std::thread reader_;
};

} // namespace parlino
