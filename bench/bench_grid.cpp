// SPDX-License-Identifier: MIT
// The editor grid: building and showing elements 1..487, and one refresh from
// the buffer, each until painted. Median of fresh runs; run it with
// QT_QPA_PLATFORM=offscreen (the default here) or on a display.
#include "bench_table.h"
#include "conversion.h"
#include "editor_grid.h"
#include "image_picture.h"
#include "twips.h"

#include <pixels/acht_bits.h>

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace {

constexpr int kRuns = 21;

// Counts the paint events the grid's widgets receive, to prove the timings
// include painting.
class PaintCounter : public QObject
{
public:
    int count = 0;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<AchtBits *>(watched) != nullptr)
            ++count;
        return false;
    }
};

// Renders the host and every visible child at once. The window's own repaint
// waits for the platform's next frame, which would time the frame rate.
void paintNow(QWidget &host)
{
    static_cast<void>(host.grab());
}

// A window-sized host with element 0 at its design place, shown and painted.
struct GridHost
{
    QWidget host;
    AchtBits *first = new AchtBits(&host);
    kestrin::EditorGrid grid{first};

    GridHost()
    {
        host.resize(610, 321);
        kestrin::setTwipsGeometry(*first, {0.0F, 2040.0F, 75.0F, 495.0F});
        host.show();
        QCoreApplication::processEvents();
        paintNow(host);
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const auto upper = kestrin::ImagePicture::fromFile(QString::fromLatin1(kestrin::kUpperPicturePath));
    const auto lower = kestrin::ImagePicture::fromFile(QString::fromLatin1(kestrin::kLowerPicturePath));
    kestrin::FrameBuffer converted;
    kestrin::convertAll(upper, lower, converted);

    bench::Samples build;
    bench::Samples refresh;
    for (int run = 0; run < kRuns; ++run) {
        auto fixture = std::make_unique<GridHost>();
        build.push_back(bench::timeRuns(1, [&] {
            fixture->grid.build();
            paintNow(fixture->host);
        }).front());
        refresh.push_back(bench::timeRuns(1, [&] {
            fixture->grid.refreshFromBuffer(converted);
            paintNow(fixture->host);
        }).front());
    }

    GridHost check;
    PaintCounter builtPaints;
    app.installEventFilter(&builtPaints);
    check.grid.build();
    paintNow(check.host);
    app.removeEventFilter(&builtPaints);
    PaintCounter refreshPaints;
    app.installEventFilter(&refreshPaints);
    check.grid.refreshFromBuffer(converted);
    paintNow(check.host);
    app.removeEventFilter(&refreshPaints);

    bench::Table table("Editor grid (488 AchtBits, fresh host per run, until painted)");
    table.add("build and show elements 1..487, median", bench::median(build), 10.0, "ms");
    table.add("build and show elements 1..487, max", bench::maximum(build), 10.0, "ms");
    table.add("refresh from the converted buffer, median", bench::median(refresh), 3.0, "ms");
    table.add("refresh from the converted buffer, max", bench::maximum(refresh), 3.0, "ms");
    table.print();
    std::printf("widgets painted: %d after a build, %d after a refresh\n", builtPaints.count,
                refreshPaints.count);
    return 0;
}
