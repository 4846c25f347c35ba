// SPDX-License-Identifier: MIT
#include "quiet_decoding.h"

#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kestrin {

namespace {

constexpr const char *kImageReaderCategories = "qt.gui.imageio";
QuietDecoding *g_active = nullptr; // decoding runs on one thread at a time

} // namespace

QuietDecoding::QuietDecoding()
{
#ifdef Q_OS_UNIX
    std::fflush(stderr);
    m_savedStandardError = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (m_savedStandardError >= 0 && null >= 0)
        ::dup2(null, STDERR_FILENO);
    if (null >= 0)
        ::close(null);
#endif
    g_active = this;
    m_previousHandler = qInstallMessageHandler(&QuietDecoding::handleMessage);
}

QuietDecoding::~QuietDecoding()
{
    qInstallMessageHandler(m_previousHandler);
    g_active = nullptr;
#ifdef Q_OS_UNIX
    if (m_savedStandardError >= 0) {
        std::fflush(stderr);
        ::dup2(m_savedStandardError, STDERR_FILENO);
        ::close(m_savedStandardError);
    }
#endif
}

void QuietDecoding::handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const bool fromImageReader =
        context.category != nullptr && std::strncmp(context.category, kImageReaderCategories, std::strlen(kImageReaderCategories)) == 0;
    if (g_active == nullptr || !fromImageReader) {
        if (g_active != nullptr && g_active->m_previousHandler != nullptr)
            g_active->m_previousHandler(type, context, message);
        return;
    }
    if (g_active->m_truncation.isEmpty() && message.contains(QLatin1String("premature end"), Qt::CaseInsensitive))
        g_active->m_truncation = message;
}

} // namespace kestrin
