// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

namespace kestrin {

// While an image is decoded, the decoders' own messages stay off stderr, so
// that a file that cannot be read is reported once, in kestrin's one line:
// libpng prints its errors there itself, and Qt's image readers warn
// through Qt's logging (qt.gui.imageio.*). Those warnings are kept instead:
// one that says the data ended early means a truncated file, which Qt would
// otherwise decode half grey without an error.
class QuietDecoding
{
public:
    QuietDecoding();
    ~QuietDecoding();
    Q_DISABLE_COPY_MOVE(QuietDecoding)

    // The decoder's warning that the file ends early, or an empty string.
    [[nodiscard]] QString truncation() const { return m_truncation; }

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message);

    int m_savedStandardError = -1;
    QtMessageHandler m_previousHandler = nullptr;
    QString m_truncation;
};

} // namespace kestrin
