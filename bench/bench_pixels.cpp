// SPDX-License-Identifier: MIT
// What the editor grid's 488 AchtBits widgets cost: the time to set every byte
// and repaint, and the memory the widgets take. Runs on the offscreen platform
// unless QT_QPA_PLATFORM says otherwise.
#include "bench_table.h"

#include <pixels/acht_bits.h>

#include <QApplication>

#include <cstdio>
#include <vector>

namespace {

constexpr int GridWidgets = 488;
constexpr int GridColumns = 122;
constexpr int GridRows = 4;
constexpr QSize CellColumn{5, 33};
constexpr int Runs = 301;

constexpr double SetAndRepaintTargetMs = 3.0;
constexpr double GridMemoryTargetMb = 2.0;
constexpr double KilobytesPerMegabyte = 1024.0;

std::vector<AchtBits *> buildGrid(QWidget &parent)
{
    std::vector<AchtBits *> grid;
    grid.reserve(GridWidgets);
    for (int e = 0; e < GridWidgets; ++e) {
        auto *widget = new AchtBits(&parent);
        widget->setGeometry(QRect(QPoint((e % GridColumns) * CellColumn.width(),
                                         (e / GridColumns) * CellColumn.height()),
                                  CellColumn));
        widget->show();
        grid.push_back(widget);
    }
    return grid;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // The window and its backing store exist before the first reading, so the
    // memory figure is the widgets' own.
    QWidget parent;
    parent.resize(GridColumns * CellColumn.width(), GridRows * CellColumn.height());
    parent.show();
    QApplication::processEvents();
    parent.repaint();

    const long before = bench::residentKilobytes();
    std::vector<AchtBits *> grid;
    const bench::Samples build = bench::timeRuns(1, [&] {
        grid = buildGrid(parent);
        parent.repaint();
    });
    const long after = bench::residentKilobytes();

    // Each run writes other bytes than the one before, so every cell changes.
    // The event loop runs between refreshes, as it does in the program.
    bench::Samples setAndRepaint;
    for (int run = 0; run < Runs; ++run) {
        const bench::Samples one = bench::timeRuns(1, [&] {
            for (int e = 0; e < GridWidgets; ++e)
                grid[static_cast<std::size_t>(e)]->setPixelByte(static_cast<quint8>(run + e));
            parent.repaint();
        });
        setAndRepaint.push_back(one.front());
        QApplication::processEvents();
    }

    const double grown = static_cast<double>(after - before);
    bench::Table table("AchtBits: a grid of 488 widgets");
    table.add("set all 488 bytes + repaint, median", bench::median(setAndRepaint),
              SetAndRepaintTargetMs, "ms");
    table.add("memory of the 488 widgets (RSS growth)", grown / KilobytesPerMegabyte,
              GridMemoryTargetMb, "MB");
    table.print();
    std::printf("set all 488 bytes + repaint, 90th percentile: %.3f ms, max %.3f ms\n",
                bench::percentile(setAndRepaint, 0.9), bench::maximum(setAndRepaint));
    std::printf("create, show and paint 488 widgets: %.3f ms; %.2f KB per widget\n",
                build.front(), grown / GridWidgets);
    return 0;
}
