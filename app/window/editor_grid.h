// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"
#include "page_geometry.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <string_view>
#include <vector>

class AchtBits;

namespace kestrin {

// The editor grid: the indexed collection AchtBits1 of 488 bit-column widgets,
// four rows of 122 laid out like the display, each showing one page byte.
// Element 0 comes from the host's design and stays the host's; build() adds
// elements 1..487 beside it, as children of element 0's parent.
class EditorGrid : public QObject
{
    Q_OBJECT

public:
    // Gap in twips between grid rows 1 and 2: it separates the upper
    // picture's 16 display rows from the lower picture's.
    static constexpr float kPictureGap = 25.0F;

    // The pages in the order a refresh visits them within each column.
    static constexpr std::array<int, kPageCount> kRefreshPageOrder{0, 1, 2, 3, 4, 6, 5, 7};

    using Trace = std::function<void(std::string_view)>;

    explicit EditorGrid(AchtBits *element0, QObject *parent = nullptr);

    // Creates, places and shows elements 1..487 from element 0's size and
    // design properties. Throws RunTimeError when element 0 is gone, has no
    // parent to hold the grid, or the grid is already built; elements created
    // before a failure stay.
    void build();

    // Destroys elements 1..487 in ascending order, skipping any already
    // destroyed elsewhere; element 0 stays.
    void tearDown();

    // Writes every page byte into the element that shows it. No element
    // raises PixelClicked.
    void refreshFromBuffer(const FrameBuffer &buffer);

    // Copies the current byte of element index (not the byte its event
    // carried) into the buffer byte it shows. An index outside 0..487 throws
    // SubscriptError and writes nothing.
    void cellEdited(int index, FrameBuffer &buffer);

    // Throws SubscriptError outside 0..count() - 1, and RunTimeError when the
    // element was destroyed behind the grid's back.
    [[nodiscard]] AchtBits *element(int index) const;
    [[nodiscard]] int count() const;

    // Development trace of grid edits ("Index=<e>"); none by default.
    void setTrace(Trace trace) { m_trace = std::move(trace); }

signals:
    // An element's PixelClicked with the element's index in front.
    void PixelClicked(int Index, quint8 &ByteValue);

private:
    AchtBits &createElement(int index);
    void connectElement(AchtBits &widget, int index);

    std::vector<QPointer<AchtBits>> m_AchtBits1{};
    Trace m_trace{};
};

} // namespace kestrin
