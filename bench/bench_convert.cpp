// SPDX-License-Identifier: MIT
// kestrin convert as a user runs it, whole process from exec to exit:
// a 1920 x 1080 photo to a C header beside ImageMagick doing the comparable
// work (resize and threshold) on the same file in the same run, and the
// built-in pictures to a .bin. Then, in process, what the window's import
// dialog recomputes for its preview on every change of the threshold, scaling,
// dithering or invert: the preparation of the decoded image for the whole
// display and the conversion of both halves, the same call the dialog makes.
// A photo whose reader cannot decode it scaled down is held at full size.
#include "bench_table.h"
#include "picture_import.h"
#include "picture_preparation.h"

#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

constexpr int kPhotoRuns = 11;
constexpr int kBuiltInRuns = 31;
constexpr int kInProcessRuns = 50;
constexpr double kBuiltInTargetMilliseconds = 40.0;
constexpr double kTextTargetMilliseconds = 50.0;
constexpr double kImportTargetMilliseconds = 16.0;
constexpr QSize kPhotoSize{1920, 1080};
constexpr int kNoise = 48;

// Gradients in three directions and per-pixel noise, so that the PNG is
// megabytes, as a photo's is, and not a few kilobytes.
QImage photoLike()
{
    QImage photo(kPhotoSize, QImage::Format_RGB32);
    QRandomGenerator random(1920);
    for (int y = 0; y < photo.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int noise = static_cast<int>(random.bounded(kNoise)) - kNoise / 2;
            line[x] = qRgb(qBound(0, x * 255 / photo.width() + noise, 255),
                           qBound(0, y * 255 / photo.height() + noise, 255),
                           qBound(0, (x + y) / 12 % 256 + noise, 255));
        }
    }
    return photo;
}

struct ProcessTime
{
    double wall = 0.0; // milliseconds from spawn to exit
    double cpu = 0.0;  // milliseconds of user and system time: less at the mercy of a busy machine
};

// Runs the program with its output thrown away; nullopt if it did not exit with 0.
std::optional<ProcessTime> timeProcess(const QStringList &command, const QString &directory)
{
    std::vector<QByteArray> arguments;
    for (const QString &argument : command)
        arguments.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, directory.toLocal8Bit().constData());
    pid_t child = 0;
    int status = -1;
    rusage usage{};
    const auto start = std::chrono::steady_clock::now();
    const bool spawned = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    if (spawned)
        ::wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    const auto milliseconds = [](timeval time) { return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3; };
    return ProcessTime{std::chrono::duration<double, std::milli>(end - start).count(),
                       milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime)};
}

// ImageMagick's command line tool: magick (7), or convert (6) under the
// names Debian gives the real binary before the generic one.
QString imageMagick()
{
    for (const char *name : {"magick", "convert-im6.q16", "convert-im6", "convert"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

void printNotMeasured(const char *name, const char *target, const char *why)
{
    std::printf("| %-44s | %12s | %12s | %7s | %-4s |\n", name, "not measured", target, "-", why);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString kestrin = QStringLiteral(KESTRIN_PATH);
    QTemporaryDir directory;
    const QImage photo = photoLike();
    if (!directory.isValid() || !photo.save(directory.filePath(QStringLiteral("photo.png")))) {
        std::fprintf(stderr, "cannot write the photo\n");
        return 1;
    }

    const QString magick = imageMagick();
    bench::Samples ours;
    bench::Samples theirs;
    bool failed = false;
    for (int run = 0; run < kPhotoRuns && !failed; ++run) {
        const auto kestrinRun = timeProcess({kestrin, "convert", "--display", "photo.png", "-o", "out.h"}, directory.path());
        const auto magickRun = magick.isEmpty() ? std::optional<ProcessTime>(ProcessTime{})
                                                : timeProcess({magick, "photo.png", "-resize", "366x96", "-threshold",
                                                               "50%", "out.pbm"}, directory.path());
        failed = !kestrinRun || !magickRun;
        ours.push_back(kestrinRun.value_or(ProcessTime{}).wall);
        theirs.push_back(magickRun.value_or(ProcessTime{}).wall);
    }
    bench::Samples builtIn;
    bench::Samples builtInCpu;
    for (int run = 0; run < kBuiltInRuns && !failed; ++run) {
        const auto measured = timeProcess({kestrin, "convert", "-o", "out.bin"}, directory.path());
        failed = !measured;
        builtIn.push_back(measured.value_or(ProcessTime{}).wall);
        builtInCpu.push_back(measured.value_or(ProcessTime{}).cpu);
    }
    bench::Samples text;
    for (int run = 0; run < kBuiltInRuns && !failed; ++run) {
        const auto measured = timeProcess({kestrin, "convert", "--text", "kestrin-pi\\n21.5 C", "-o", "text.h"},
                                          directory.path());
        failed = !measured;
        text.push_back(measured.value_or(ProcessTime{}).wall);
    }
    if (failed) {
        std::fprintf(stderr, "a run of kestrin or ImageMagick failed\n");
        return 1;
    }

    const kestrin::HalfPicture clear = kestrin::clearHalf();
    kestrin::FrameBuffer frame;
    const auto prepared = bench::timeRuns(kInProcessRuns, [&] {
        frame = kestrin::importPicture(photo, kestrin::PictureTarget::Display, kestrin::Preparation{}, clear, clear).frame;
    });

    bench::Table table("kestrin convert, whole process (" + std::to_string(kPhotoRuns) + " and "
                       + std::to_string(kBuiltInRuns) + " runs), and the import preview in process");
    if (!magick.isEmpty()) {
        table.add("ImageMagick: photo resize+threshold, median", bench::median(theirs), bench::median(theirs), "ms");
        table.add("kestrin: photo to .h, median (< ImageMagick)", bench::median(ours), bench::median(theirs), "ms");
    }
    table.add("kestrin: built-in pictures to .bin, median", bench::median(builtIn), kBuiltInTargetMilliseconds, "ms");
    table.add("  the same, CPU time (user + system), median", bench::median(builtInCpu), kBuiltInTargetMilliseconds, "ms");
    table.add("kestrin: --text to .h, median", bench::median(text), kTextTargetMilliseconds, "ms");
    table.add("import preview: 1920x1080 decoded, median", bench::median(prepared), kImportTargetMilliseconds, "ms");
    table.print();
    if (magick.isEmpty())
        printNotMeasured("kestrin: photo to .h, median (< ImageMagick)", "< ImageMagick", "(no ImageMagick)");
    return 0;
}
