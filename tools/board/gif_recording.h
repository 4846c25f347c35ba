// SPDX-License-Identifier: MIT
#pragma once

#include "lcd_frame.h"

#include <chrono>
#include <optional>
#include <string>

struct GifFileType;

namespace board {

// What the module showed, refresh by refresh, as an animated GIF that loops
// forever: one frame per whole refresh in LcdFrame::toImage's look and scale,
// shown until the next refresh. Delays are GIF's hundredths of a second,
// rounded on the time since the first refresh so that the rounding never adds
// up. A refresh that shows what the one before showed lengthens that frame
// instead of adding one, and a frame shown for less than 5 ms is left out.
// Each frame goes to the file once the next one arrives, so a recording holds
// one frame in memory. Failures throw std::runtime_error("PATH: reason").
class GifRecording
{
public:
    // Since any fixed moment, the same for every call.
    using Time = std::chrono::nanoseconds;

    // Creates the file at once, so that a file that cannot be written is
    // known before anything is recorded.
    GifRecording(const std::string &path, int scale);
    GifRecording(const GifRecording &) = delete;
    GifRecording &operator=(const GifRecording &) = delete;
    // A recording that was not saved leaves no file behind.
    ~GifRecording();

    // A refresh: from `at` on the module shows `frame`.
    void add(const LcdFrame &frame, Time at);
    // Ends the recording at `end` and closes the file.
    void save(Time end);
    // Ends the recording when the next refresh would have come: as long
    // after the last as the last came after the one before.
    void save();

private:
    void writeHeader();
    void writeShown(Time until);
    void writeFrame(const LcdFrame &frame, int delay);
    // Closes an unsaved file and removes it.
    void discard();
    void removeFile() const;
    void check(int status) const;
    [[noreturn]] void fail(int error) const;

    std::string m_path;
    int m_scale = 1;
    GifFileType *m_gif = nullptr;
    bool m_regularFile = false;
    std::optional<LcdFrame> m_shown;
    Time m_first{};
    Time m_last{};
    Time m_beforeLast{};
    long m_writtenHundredths = 0;
    bool m_anyWritten = false;
};

} // namespace board
