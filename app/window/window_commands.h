// SPDX-License-Identifier: MIT
#pragma once

#include "picture_import.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QAction;
class QKeySequence;
class QMenu;

namespace kestrin {

class MainWindow;

// Form1's commands: actions on the window, so that their shortcuts work
// without a menu, the context menu that offers them with the serial port
// submenu with its network board dialog, and the standard file dialogs. The
// work is Form1's own, in methods that take a path.
class WindowCommands : public QObject
{
    Q_OBJECT

public:
    explicit WindowCommands(MainWindow &window);

    // Builds the menu and shows it at globalPosition without waiting for it.
    void popUpMenu(QPoint globalPosition);

private:
    template <typename Command>
    void add(const QString &text, const QKeySequence &shortcut, Command &&command);
    void openPicture(PictureTarget target);
    void openFrame();
    void saveFrame();
    void fillPortMenu(QMenu &menu);
    void askNetworkBoard();
    void remember(const QString &path);

    MainWindow &m_window;
    QList<QAction *> m_actions; // in menu order; nullptr stands for a separator
    QString m_directory;        // where the last file dialog ended
};

} // namespace kestrin
