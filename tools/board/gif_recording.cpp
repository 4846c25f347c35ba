// SPDX-License-Identifier: MIT
#include "gif_recording.h"

#include <gif_lib.h>

#include <QList>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace board {

namespace {

// GIF's colour tables hold a power of two colours; the picture uses the
// first three.
constexpr std::array<QRgb, 4> kPalette{kPanelColour, kClearDotColour, kDarkDotColour, qRgb(0, 0, 0)};
constexpr int kColoursUsed = 3;
constexpr int kPaletteBits = 2;
constexpr int kColourResolution = 8;
constexpr int kMaxDelay = 0xFFFF; // a frame's delay is 16 bits wide
constexpr std::string_view kLoopApplication = "NETSCAPE2.0";
constexpr std::array<unsigned char, 3> kLoopForever{1, 0, 0}; // sub-block 1, loop count 0
constexpr std::chrono::milliseconds kHundredth{10};

long hundredths(GifRecording::Time time)
{
    return (time + kHundredth / 2) / kHundredth;
}

} // namespace

GifRecording::GifRecording(const std::string &path, int scale) : m_path(path), m_scale(scale)
{
    // Opened here rather than by giflib, which would leave the file readable
    // by its owner only.
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0)
        fail(E_GIF_ERR_OPEN_FAILED);
    struct stat status{};
    m_regularFile = ::fstat(file, &status) == 0 && S_ISREG(status.st_mode);
    int error = E_GIF_SUCCEEDED;
    m_gif = EGifOpenFileHandle(file, &error);
    if (m_gif == nullptr) {
        ::close(file);
        fail(error);
    }
    try {
        writeHeader();
    } catch (const std::runtime_error &) {
        discard();
        throw;
    }
}

GifRecording::~GifRecording()
{
    discard();
}

void GifRecording::add(const LcdFrame &frame, Time at)
{
    if (!m_shown) {
        m_first = m_last = m_beforeLast = at;
        m_shown = frame;
        return;
    }
    m_beforeLast = std::exchange(m_last, at);
    if (frame == *m_shown)
        return;
    writeShown(at);
    m_shown = frame;
}

void GifRecording::save(Time end)
{
    if (m_shown)
        writeShown(end);
    if (!m_anyWritten && m_shown)
        writeFrame(*m_shown, 0);
    int error = E_GIF_SUCCEEDED;
    if (EGifCloseFile(std::exchange(m_gif, nullptr), &error) == GIF_ERROR) {
        removeFile();
        fail(error);
    }
}

void GifRecording::save()
{
    save(m_last + (m_last - m_beforeLast));
}

// The frame shown until `until`; left out when that rounds to no time.
void GifRecording::writeShown(Time until)
{
    const long end = hundredths(until - m_first);
    long delay = end - m_writtenHundredths;
    if (delay <= 0)
        return;
    for (; delay > kMaxDelay; delay -= kMaxDelay)
        writeFrame(*m_shown, kMaxDelay);
    writeFrame(*m_shown, static_cast<int>(delay));
    m_writtenHundredths = end;
}

void GifRecording::writeFrame(const LcdFrame &frame, int delay)
{
    const GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay, NO_TRANSPARENT_COLOR};
    std::array<GifByteType, 4> extension{};
    EGifGCBToExtension(&control, extension.data());
    check(EGifPutExtension(m_gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extension.size()), extension.data()));

    const QList<QRgb> used{kPalette.begin(), kPalette.begin() + kColoursUsed};
    QImage image = frame.toImage(m_scale).convertToFormat(QImage::Format_Indexed8, used);
    check(EGifPutImageDesc(m_gif, 0, 0, image.width(), image.height(), false, nullptr));
    for (int y = 0; y < image.height(); ++y)
        check(EGifPutLine(m_gif, image.scanLine(y), image.width()));
    m_anyWritten = true;
}

// The picture's size and colours, and the application block that makes a
// viewer loop the frames forever.
void GifRecording::writeHeader()
{
    const QSize size = LcdFrame().toImage(m_scale).size();
    std::array<GifColorType, kPalette.size()> colours{};
    for (std::size_t index = 0; index < kPalette.size(); ++index)
        colours[index] = {static_cast<GifByteType>(qRed(kPalette[index])),
                          static_cast<GifByteType>(qGreen(kPalette[index])),
                          static_cast<GifByteType>(qBlue(kPalette[index]))};
    const ColorMapObject palette{static_cast<int>(colours.size()), kPaletteBits, false, colours.data()};
    EGifSetGifVersion(m_gif, true);
    check(EGifPutScreenDesc(m_gif, size.width(), size.height(), kColourResolution, 0, &palette));
    check(EGifPutExtensionLeader(m_gif, APPLICATION_EXT_FUNC_CODE));
    check(EGifPutExtensionBlock(m_gif, static_cast<int>(kLoopApplication.size()), kLoopApplication.data()));
    check(EGifPutExtensionBlock(m_gif, static_cast<int>(kLoopForever.size()), kLoopForever.data()));
    check(EGifPutExtensionTrailer(m_gif));
}

void GifRecording::discard()
{
    if (m_gif == nullptr)
        return;
    EGifCloseFile(std::exchange(m_gif, nullptr), nullptr);
    removeFile();
}

// Only a file of our own: never a device or a pipe that the path named.
void GifRecording::removeFile() const
{
    if (m_regularFile)
        std::remove(m_path.c_str());
}

void GifRecording::check(int status) const
{
    if (status == GIF_ERROR)
        fail(m_gif->Error);
}

// Opening and writing fail for the system's reasons, which errno holds.
void GifRecording::fail(int error) const
{
    const bool system = error == E_GIF_ERR_OPEN_FAILED || error == E_GIF_ERR_WRITE_FAILED
                        || error == E_GIF_ERR_CLOSE_FAILED;
    throw std::runtime_error(m_path + ": " + (system ? std::strerror(errno) : GifErrorString(error)));
}

} // namespace board
