// SPDX-License-Identifier: MIT
#include "window_commands.h"

#include "comm_control.h"
#include "frame_file.h"
#include "main_window.h"
#include "network_address.h"
#include "port_list.h"

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QInputDialog>
#include <QKeySequence>
#include <QMenu>

#include <algorithm>
#include <array>

namespace kestrin {

namespace {

struct FrameFilter
{
    const char *label;
    const char *extension;
    bool readable;
};

constexpr std::array<FrameFilter, 6> kFrameFilters{{
    {QT_TRANSLATE_NOOP("WindowCommands", "Frame octets, as the board receives them"), "bin", true},
    {QT_TRANSLATE_NOOP("WindowCommands", "Frame as text, # dark and . clear"), "txt", true},
    {QT_TRANSLATE_NOOP("WindowCommands", "C header for firmware"), "h", false},
    {QT_TRANSLATE_NOOP("WindowCommands", "PNG image, 122 x 32"), "png", true},
    {QT_TRANSLATE_NOOP("WindowCommands", "PBM image, 122 x 32"), "pbm", true},
    {QT_TRANSLATE_NOOP("WindowCommands", "BMP image, 122 x 32"), "bmp", true},
}};

struct PictureCommand
{
    const char *text;
    PictureTarget target;
};

constexpr std::array<PictureCommand, 3> kPictureCommands{{
    {QT_TRANSLATE_NOOP("WindowCommands", "Open picture for the upper half…"), PictureTarget::Upper},
    {QT_TRANSLATE_NOOP("WindowCommands", "Open picture for the lower half…"), PictureTarget::Lower},
    {QT_TRANSLATE_NOOP("WindowCommands", "Open picture for the whole display…"), PictureTarget::Display},
}};

QString filterOf(const FrameFilter &filter)
{
    return QStringLiteral("%1 (*.%2)").arg(WindowCommands::tr(filter.label), QString::fromLatin1(filter.extension));
}

QString allFiles()
{
    return WindowCommands::tr("All files (*)");
}

QString pictureFilters()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format).toLower());
    patterns.removeDuplicates();
    return WindowCommands::tr("Pictures (%1)").arg(patterns.join(u' ')) + QStringLiteral(";;") + allFiles();
}

QString openFrameFilters()
{
    QStringList patterns;
    QStringList filters;
    for (const FrameFilter &filter : kFrameFilters) {
        if (filter.readable) {
            patterns.append(QStringLiteral("*.") + QString::fromLatin1(filter.extension));
            filters.append(filterOf(filter));
        }
    }
    filters.prepend(WindowCommands::tr("Frames (%1)").arg(patterns.join(u' ')));
    filters.append(allFiles());
    return filters.join(QStringLiteral(";;"));
}

QString saveFrameFilters()
{
    QStringList filters;
    for (const FrameFilter &filter : kFrameFilters)
        filters.append(filterOf(filter));
    return filters.join(QStringLiteral(";;"));
}

// A name typed without a frame extension gets the chosen filter's.
QString withExtension(const QString &path, const QString &chosenFilter)
{
    if (frameFileFormat(path))
        return path;
    const auto *filter = std::find_if(kFrameFilters.begin(), kFrameFilters.end(),
                                      [&](const FrameFilter &entry) { return filterOf(entry) == chosenFilter; });
    const char *extension = filter == kFrameFilters.end() ? kFrameFilters.front().extension : filter->extension;
    return path + u'.' + QString::fromLatin1(extension);
}

QString portText(const PortListing &port)
{
    const QString text = port.description.isEmpty() ? port.device : port.device + QStringLiteral("  ") + port.description;
    return QString(text).replace(u'&', QStringLiteral("&&"));
}

} // namespace

WindowCommands::WindowCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    for (const PictureCommand &command : kPictureCommands) {
        add(tr(command.text), command.target == PictureTarget::Display ? QKeySequence(QKeySequence::Open) : QKeySequence(),
            [this, target = command.target] { openPicture(target); });
    }
    m_actions.append(nullptr);
    add(tr("Open frame…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), [this] { openFrame(); });
    add(tr("Save frame as…"), QKeySequence(QKeySequence::Save), [this] { saveFrame(); });
    add(tr("Copy frame as C array"), QKeySequence(QKeySequence::Copy), [this] { m_window.copyFrame(); });
    add(tr("Clear frame"), QKeySequence(), [this] { m_window.clearFrame(); });
    m_actions.append(nullptr);
}

template <typename Command>
void WindowCommands::add(const QString &text, const QKeySequence &shortcut, Command &&command)
{
    auto *action = new QAction(text, &m_window);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, std::forward<Command>(command));
    m_window.addAction(action);
    m_actions.append(action);
}

void WindowCommands::popUpMenu(QPoint globalPosition)
{
    auto *menu = new QMenu(&m_window);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction *action : std::as_const(m_actions)) {
        if (action != nullptr)
            menu->addAction(action);
        else
            menu->addSeparator();
    }
    QMenu *ports = menu->addMenu(tr("Serial port"));
    ports->setObjectName(QStringLiteral("serialPortMenu"));
    connect(ports, &QMenu::aboutToShow, this, [this, ports] { fillPortMenu(*ports); });
    menu->popup(globalPosition);
}

// The ports the system lists, and the device in use even when it lists it
// not (a pseudo-terminal, a symlink), checked.
void WindowCommands::fillPortMenu(QMenu &menu)
{
    menu.clear();
    const QString current = m_window.commControl().device();
    QList<PortListing> ports = availablePorts();
    if (std::none_of(ports.begin(), ports.end(), [&](const PortListing &port) { return port.device == current; }))
        ports.prepend(PortListing{current, {}, {}, {}, {}});
    auto *group = new QActionGroup(&menu);
    for (const PortListing &port : std::as_const(ports)) {
        QAction *action = menu.addAction(portText(port));
        action->setCheckable(true);
        action->setChecked(port.device == current);
        group->addAction(action);
        connect(action, &QAction::triggered, &m_window, [this, device = port.device] { m_window.chooseDevice(device); });
    }
    menu.addSeparator();
    connect(menu.addAction(tr("Network board…")), &QAction::triggered, this, &WindowCommands::askNetworkBoard);
}

// Opened without waiting for it; OK moves the line to the board typed.
void WindowCommands::askNetworkBoard()
{
    auto *dialog = new QInputDialog(&m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(QStringLiteral("networkBoardDialog"));
    dialog->setWindowTitle(tr("Network board"));
    dialog->setLabelText(tr("The board's serial bridge, as HOST:PORT (raw TCP),\n"
                            "tcp://HOST:PORT or rfc2217://HOST:PORT (telnet, 115200 8N1 asked for):"));
    const QString current = m_window.commControl().device();
    dialog->setTextValue(isNetworkDevice(current) ? current : QString());
    connect(dialog, &QInputDialog::textValueSelected, &m_window, [this](const QString &typed) {
        if (!typed.trimmed().isEmpty())
            m_window.chooseDevice(networkDeviceName(typed));
    });
    dialog->open();
}

void WindowCommands::openPicture(PictureTarget target)
{
    const auto *command = std::find_if(kPictureCommands.begin(), kPictureCommands.end(),
                                       [target](const PictureCommand &entry) { return entry.target == target; });
    const QString path = QFileDialog::getOpenFileName(&m_window, tr(command->text).remove(u'…'), m_directory, pictureFilters());
    if (path.isEmpty())
        return;
    remember(path);
    m_window.openPicture(path, target);
}

void WindowCommands::openFrame()
{
    const QString path = QFileDialog::getOpenFileName(&m_window, tr("Open frame"), m_directory, openFrameFilters());
    if (path.isEmpty())
        return;
    remember(path);
    m_window.openFrame(path);
}

void WindowCommands::saveFrame()
{
    QString chosenFilter;
    const QString path =
        QFileDialog::getSaveFileName(&m_window, tr("Save frame as"), m_directory, saveFrameFilters(), &chosenFilter);
    if (path.isEmpty())
        return;
    remember(path);
    m_window.saveFrame(withExtension(path, chosenFilter));
}

void WindowCommands::remember(const QString &path)
{
    m_directory = QFileInfo(path).absolutePath();
}

} // namespace kestrin
