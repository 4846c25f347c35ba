// SPDX-License-Identifier: MIT
// Convert all over the shipped pictures: median and best of many runs.
#include "bench_table.h"
#include "conversion.h"
#include "image_picture.h"

#include <QGuiApplication>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const auto upper = kestrin::ImagePicture::fromFile(QString::fromLatin1(kestrin::kUpperPicturePath));
    const auto lower = kestrin::ImagePicture::fromFile(QString::fromLatin1(kestrin::kLowerPicturePath));
    kestrin::FrameBuffer buffer;
    constexpr int kRuns = 2000;
    const auto samples = bench::timeRuns(kRuns, [&] { kestrin::convertAll(upper, lower, buffer); });

    bench::Table table("Convert all (3,904 block tests over the shipped pictures)");
    table.add("convert all, median", bench::median(samples), 0.5, "ms");
    table.add("convert all, p99", bench::percentile(samples, 0.99), 0.5, "ms");
    table.print();
    return 0;
}
