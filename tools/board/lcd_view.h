// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QWidget>

namespace board {

// A window that shows the board's LCD picture at its own size.
class LcdView : public QWidget
{
    Q_OBJECT

public:
    explicit LcdView(QImage picture, QWidget *parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override { return m_picture.size(); }
    void setPicture(QImage picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

} // namespace board
