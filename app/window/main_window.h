// SPDX-License-Identifier: MIT
#pragma once

#include "board_session.h"
#include "dropped_file.h"
#include "editor_grid.h"
#include "frame_buffer.h"
#include "frame_source.h"
#include "picture_import.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class Form1;
}

namespace kestrin {

class ImportDialog;
class StatusBand;
class WindowCommands;

// What Form1 starts on: the device of serial port 2 (its own when none), and
// the pictures, and possibly a frame, in place of the built-in pictures.
struct WindowStart
{
    std::optional<QString> device;
    std::optional<FrameSource> source;
};

// Form1, the program's one window. It owns the frame buffer, the serial
// control and its protocol state, and the editor grid, and wires each event
// to the unit that handles it; every handler runs through the handler
// boundary. Its layout is the design in main_window.ui: absolute places,
// nothing moves or scales when the window is resized.
//
// Beyond the design: a picture or frame file dropped on it, a context menu
// with the same commands as its shortcuts, and the band below the grid that
// says what went wrong. The commands below take a path; each reports what
// stops it in the band and on stderr and changes nothing then.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // device replaces the default device of serial port 2.
    explicit MainWindow(const std::optional<QString> &device = std::nullopt, QWidget *parent = nullptr);
    // With a frame, the buffer holds it from the start and the grid shows it.
    explicit MainWindow(const WindowStart &start, QWidget *parent = nullptr);
    ~MainWindow() override;

    [[nodiscard]] const FrameBuffer &frameBuffer() const { return m_buffer; }
    [[nodiscard]] const SerialLink &serialLink() const { return m_session.link(); }
    [[nodiscard]] EditorGrid &grid() { return *m_AchtBits1; }
    [[nodiscard]] LineControl &commControl() { return m_session.control(); }

    // Decodes the picture and opens the import dialog (non-blocking); only
    // its OK replaces the target's picture box content. The grid and the
    // board keep the current frame until Convert.
    void openPicture(const QString &path, PictureTarget target);
    // Replace the buffer and refresh the grid: the next page the board asks
    // for, and the rest of a page being sent, carry the new frame.
    void openFrame(const QString &path);
    void clearFrame();
    // The buffer with every grid edit, in the format of path's extension.
    void saveFrame(const QString &path);
    // The .h text of the buffer, its array named "frame", on the clipboard.
    void copyFrame();
    // Serial port 2's device, or a network board, from now on, opened with
    // the same settings; a name that cannot be used says why in the band.
    void chooseDevice(const QString &device);

protected:
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    [[nodiscard]] std::optional<DroppedFile> takeDrop(QDropEvent *event);

private:
    void load();
    void unload();
    void convert();
    void start();
    void cellEdited(int index);
    void placePictures(const ImportDialog &dialog);
    [[nodiscard]] PictureTarget targetAt(QPoint position) const;
    template <typename Command>
    void runCommand(std::string_view name, Command &&command);

    std::unique_ptr<Ui::Form1> m_ui;
    FrameBuffer m_buffer;
    // MSComm1 and the protocol state: the board served from m_buffer.
    BoardSession m_session;
    std::unique_ptr<EditorGrid> m_AchtBits1;
    StatusBand *m_status = nullptr;
    WindowCommands *m_commands = nullptr;
    QPointer<ImportDialog> m_import;
    bool m_unloaded = false;
};

} // namespace kestrin
