// SPDX-License-Identifier: MIT
#pragma once

#include "comm_control.h"
#include "editor_grid.h"
#include "frame_buffer.h"
#include "frame_source.h"
#include "serial_link.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class Form1;
}

namespace kestrin {

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
    [[nodiscard]] const SerialLink &serialLink() const { return m_link; }
    [[nodiscard]] EditorGrid &grid() { return *m_AchtBits1; }
    [[nodiscard]] CommControl &commControl() { return m_MSComm1; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void load();
    void unload();
    void convert();
    void start();
    void cellEdited(int index);
    void portEvent();
    void showLineProblem(const QString &problem);
    [[nodiscard]] bool yieldBetweenBytes();

    std::unique_ptr<Ui::Form1> m_ui;
    FrameBuffer m_buffer;
    CommControl m_MSComm1;
    SerialLink m_link;
    std::unique_ptr<EditorGrid> m_AchtBits1;
    bool m_unloaded = false;
};

} // namespace kestrin
