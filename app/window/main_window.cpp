// SPDX-License-Identifier: MIT
#include "main_window.h"

#include "conversion.h"
#include "dropped_file.h"
#include "frame_file.h"
#include "frame_formats.h"
#include "handler_boundary.h"
#include "image_picture.h"
#include "import_dialog.h"
#include "status_band.h"
#include "trace.h"
#include "ui_main_window.h"
#include "window_commands.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMimeData>

namespace kestrin {

namespace {

constexpr const char *kIconPath = ":/assets/kestrin.png";
constexpr const char *kClipboardArrayName = "frame";

} // namespace

MainWindow::MainWindow(const std::optional<QString> &device, QWidget *parent)
    : MainWindow(WindowStart{device, std::nullopt}, parent)
{
}

MainWindow::MainWindow(const WindowStart &start, QWidget *parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::Form1>()),
      m_session(start.device, m_buffer)
{
    m_ui->setupUi(this);
    m_status = new StatusBand(*m_ui->LineStatus, this);
    m_commands = new WindowCommands(*this);
    setAcceptDrops(true);
    m_AchtBits1 = std::make_unique<EditorGrid>(m_ui->AchtBits1);
    m_AchtBits1->setTrace(writeTrace);
    setWindowIcon(QIcon(QString::fromLatin1(kIconPath)));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    if (start.source) {
        m_ui->Picture1->setHalf(start.source->upper);
        m_ui->Picture2->setHalf(start.source->lower);
        m_buffer = start.source->frame.value_or(FrameBuffer{});
    } else {
        m_ui->Picture1->setPicture(ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath)));
        m_ui->Picture2->setPicture(ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath)));
    }

    connect(m_ui->Command3, &QPushButton::clicked, this, &MainWindow::convert);
    connect(m_ui->Command4, &QPushButton::clicked, this, &MainWindow::start);
    connect(m_AchtBits1.get(), &EditorGrid::PixelClicked, this,
            [this](int index, quint8 &) { cellEdited(index); });
    connect(&m_session, &BoardSession::lineProblemChanged, m_status, &StatusBand::setLineProblem);

    load();
    if (start.source && start.source->frame)
        runHandler("grid refresh", [this] { m_AchtBits1->refreshFromBuffer(m_buffer); });
}

MainWindow::~MainWindow() = default;

// A command's error is also shown in the band below the grid.
template <typename Command>
void MainWindow::runCommand(std::string_view name, Command &&command)
{
    runHandler(name, std::forward<Command>(command),
               [this](std::string_view message) { m_status->showMessage(QString::fromUtf8(message)); });
}

// Serial set-up, then the grid. A line that cannot be opened does not stop
// the grid from being built: everything that does not need the line works.
void MainWindow::load()
{
    m_session.setUp();
    runHandler("grid build", [this] { m_AchtBits1->build(); });
}

void MainWindow::unload()
{
    if (std::exchange(m_unloaded, true))
        return;
    m_session.stop();
    runHandler("grid tear-down", [this] { m_AchtBits1->tearDown(); });
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    unload();
    QWidget::closeEvent(event);
}

void MainWindow::convert()
{
    runHandler("Convert", [this] {
        convertHalves({*m_ui->Picture1, m_ui->Picture1->exact()}, {*m_ui->Picture2, m_ui->Picture2->exact()}, m_buffer);
        m_AchtBits1->refreshFromBuffer(m_buffer);
    });
}

void MainWindow::start()
{
    runHandler("Start", [this] { m_session.sendStartPage(); });
}

void MainWindow::cellEdited(int index)
{
    runHandler("cell edited", [this, index] { m_AchtBits1->cellEdited(index, m_buffer); });
}

void MainWindow::openPicture(const QString &path, PictureTarget target)
{
    runCommand("Open picture", [&] {
        const QImage image = readImportImage(path, target);
        if (m_import)
            m_import->reject();
        auto *dialog = new ImportDialog(image, target, QFileInfo(path).fileName(), m_ui->Picture1->half(),
                                        m_ui->Picture2->half(), this);
        connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
            if (result == QDialog::Accepted)
                placePictures(*dialog);
            dialog->deleteLater();
        });
        m_import = dialog;
        dialog->open();
    });
}

void MainWindow::placePictures(const ImportDialog &dialog)
{
    runCommand("Open picture", [&] {
        if (dialog.target() != PictureTarget::Lower)
            m_ui->Picture1->setHalf(dialog.imported().upper);
        if (dialog.target() != PictureTarget::Upper)
            m_ui->Picture2->setHalf(dialog.imported().lower);
    });
}

void MainWindow::openFrame(const QString &path)
{
    runCommand("Open frame", [&] {
        m_buffer = readFrameFile(path);
        m_AchtBits1->refreshFromBuffer(m_buffer);
    });
}

void MainWindow::clearFrame()
{
    runCommand("Clear frame", [this] {
        m_buffer = FrameBuffer{};
        m_AchtBits1->refreshFromBuffer(m_buffer);
    });
}

void MainWindow::saveFrame(const QString &path)
{
    runCommand("Save frame as", [&] {
        saveFiles({{path, encodeFrame(m_buffer, path)}});
        m_status->tell("Save frame as", tr("Saved %1").arg(QFileInfo(path).fileName()));
    });
}

void MainWindow::copyFrame()
{
    runCommand("Copy frame as C array", [this] {
        const std::string header = toCHeader(m_buffer, kClipboardArrayName);
        QGuiApplication::clipboard()->setText(QString::fromStdString(header));
        m_status->tell("Copy frame as C array",
                       tr("Copied the frame to the clipboard as the C array %1").arg(QLatin1String(kClipboardArrayName)));
    });
}

// Why a device cannot be used shows in the band for a while (a network name
// without a port, say); a device that cannot be opened also shows as the
// line's problem for as long as it lasts.
void MainWindow::chooseDevice(const QString &device)
{
    runCommand("Serial port", [&] { m_session.setDevice(device); });
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event)
{
    m_commands->popUpMenu(event->globalPos());
    event->accept();
}

// A file that cannot be taken says why once, when it enters; the drop is
// refused.
// Accepts what can be taken; anything else is refused, saying why.
std::optional<DroppedFile> MainWindow::takeDrop(QDropEvent *event)
{
    DroppedFile file = droppedFile(*event->mimeData());
    if (file.kind == FileKind::Refused) {
        if (!file.refusal.isEmpty())
            m_status->tell("drop", file.refusal);
        event->ignore();
        return std::nullopt;
    }
    event->acceptProposedAction();
    return file;
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    (void)takeDrop(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const std::optional<DroppedFile> file = takeDrop(event);
    if (!file)
        return;
    if (file->kind == FileKind::Frame)
        openFrame(file->path);
    else
        openPicture(file->path, targetAt(event->position().toPoint()));
}

// Picture1 takes the upper half, Picture2 the lower; anywhere else, the grid
// included, is the whole display.
PictureTarget MainWindow::targetAt(QPoint position) const
{
    if (m_ui->Picture1->geometry().contains(position))
        return PictureTarget::Upper;
    if (m_ui->Picture2->geometry().contains(position))
        return PictureTarget::Lower;
    return PictureTarget::Display;
}

} // namespace kestrin
