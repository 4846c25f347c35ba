// SPDX-License-Identifier: MIT
// Stand-in until the window exists: converts the shipped pictures and prints
// the eight pages as hex, one page per line.
#include "conversion.h"
#include "image_picture.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    std::printf("kestrin: the window is not built yet; printing the converted pages instead.\n");
    const auto upper = kestrin::ImagePicture::fromFile(QString::fromLatin1(kestrin::kUpperPicturePath));
    const auto lower = kestrin::ImagePicture::fromFile(QString::fromLatin1(kestrin::kLowerPicturePath));
    kestrin::FrameBuffer buffer;
    kestrin::convertAll(upper, lower, buffer);
    for (int page = 0; page < kestrin::kPageCount; ++page) {
        std::printf("page %d:", page);
        for (int column = 0; column < kestrin::kPageColumns; ++column)
            std::printf(" %02X", buffer.read(page, column));
        std::printf("\n");
    }
    return 0;
}
