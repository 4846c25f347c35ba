// SPDX-License-Identifier: MIT
#include "main_window.h"

#include "conversion.h"
#include "handler_boundary.h"
#include "image_picture.h"
#include "page_protocol.h"
#include "trace.h"
#include "ui_main_window.h"

#include <QCloseEvent>
#include <QIcon>

namespace kestrin {

namespace {

constexpr const char *kIconPath = ":/assets/kestrin.png";

} // namespace

MainWindow::MainWindow(const std::optional<QString> &device, QWidget *parent)
    : MainWindow(WindowStart{device, std::nullopt}, parent)
{
}

MainWindow::MainWindow(const WindowStart &start, QWidget *parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::Form1>()),
      m_MSComm1(start.device),
      m_link(m_MSComm1, m_buffer, [this] { return yieldBetweenBytes(); })
{
    m_ui->setupUi(this);
    m_AchtBits1 = std::make_unique<EditorGrid>(m_ui->AchtBits1);
    m_AchtBits1->setTrace(writeTrace);
    m_link.setTrace(writeTrace);
    setWindowIcon(QIcon(QString::fromLatin1(kIconPath)));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    if (start.source) {
        m_ui->Picture1->setPicture(ImagePicture(start.source->upper));
        m_ui->Picture2->setPicture(ImagePicture(start.source->lower));
        m_buffer = start.source->frame.value_or(FrameBuffer{});
    } else {
        m_ui->Picture1->setPicture(ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath)));
        m_ui->Picture2->setPicture(ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath)));
    }

    connect(m_ui->Command3, &QPushButton::clicked, this, &MainWindow::convert);
    connect(m_ui->Command4, &QPushButton::clicked, this, &MainWindow::start);
    connect(m_AchtBits1.get(), &EditorGrid::PixelClicked, this,
            [this](int index, quint8 &) { cellEdited(index); });
    connect(&m_MSComm1, &CommControl::OnComm, this, &MainWindow::portEvent);
    connect(&m_MSComm1, &CommControl::lineProblemChanged, this, &MainWindow::showLineProblem);
    // A line that comes back is a new line: the board greets it anew.
    connect(&m_MSComm1, &CommControl::lineReopened, this, [this] { m_link.resetProtocol(); });

    load();
    if (start.source && start.source->frame)
        runHandler("grid refresh", [this] { m_AchtBits1->refreshFromBuffer(m_buffer); });
}

MainWindow::~MainWindow() = default;

// Serial set-up, then the grid. A line that cannot be opened does not stop
// the grid from being built: everything that does not need the line works.
void MainWindow::load()
{
    runHandler("serial set-up", [this] { m_link.setUp(); });
    runHandler("grid build", [this] { m_AchtBits1->build(); });
}

void MainWindow::unload()
{
    if (std::exchange(m_unloaded, true))
        return;
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
        convertAll(*m_ui->Picture1, *m_ui->Picture2, m_buffer);
        m_AchtBits1->refreshFromBuffer(m_buffer);
    });
}

void MainWindow::start()
{
    runHandler("Start", [this] { sendStartPage(m_buffer, m_MSComm1); });
}

void MainWindow::cellEdited(int index)
{
    runHandler("cell edited", [this, index] { m_AchtBits1->cellEdited(index, m_buffer); });
}

void MainWindow::portEvent()
{
    if (m_unloaded)
        return;
    runHandler("port event", [this] { m_link.portEvent(); });
}

void MainWindow::showLineProblem(const QString &problem)
{
    m_ui->LineStatus->setText(problem);
    m_ui->LineStatus->setVisible(!problem.isEmpty());
}

// Between two octets of a served page: run pending events, then stop the
// serve if they closed the window or lost the line.
bool MainWindow::yieldBetweenBytes()
{
    return m_MSComm1.yieldToEventLoop() && !m_unloaded;
}

} // namespace kestrin
