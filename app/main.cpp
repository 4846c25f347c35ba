// SPDX-License-Identifier: MIT
// Stand-in until the window exists: converts the shipped pictures, prints the
// eight pages as hex and serves them to the board until interrupted.
#include "comm_control.h"
#include "command_line.h"
#include "conversion.h"
#include "handler_boundary.h"
#include "image_picture.h"
#include "serial_link.h"
#include "trace.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTRIN_VERSION));
    const kestrin::CommandLine commandLine = kestrin::parseCommandLine(QCoreApplication::arguments());
    if (commandLine.outcome != kestrin::CommandLine::Outcome::Run)
        return kestrin::printCommandLineOutcome(commandLine);

    std::printf("kestrin: a stand-in without a window: it converts the shipped pictures and serves them.\n");
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

    kestrin::CommControl MSComm1(commandLine.portDevice);
    kestrin::SerialLink link(MSComm1, buffer, [&MSComm1] { return MSComm1.yieldToEventLoop(); });
    link.setTrace(kestrin::writeTrace);
    QObject::connect(&MSComm1, &kestrin::CommControl::OnComm, [&link] {
        kestrin::runHandler("port event", [&link] { link.portEvent(); });
    });
    QObject::connect(&MSComm1, &kestrin::CommControl::lineReopened, [&link] { link.resetProtocol(); });

    bool open = false;
    kestrin::runHandler("load", [&] {
        link.setUp();
        open = true;
    });
    if (!open)
        return 1;
    std::printf("kestrin: serving the board on %s until interrupted.\n", qPrintable(MSComm1.device()));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
