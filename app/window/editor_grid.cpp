// SPDX-License-Identifier: MIT
#include "editor_grid.h"

#include "run_time_error.h"
#include "twips.h"

#include <pixels/acht_bits.h>

#include <QWidget>

#include <string>

namespace kestrin {

namespace {

// Top edge of grid row 1..3: rows touch, with the picture gap between the
// upper picture's rows (0, 1) and the lower picture's (2, 3).
float rowTop(int row, const TwipsRect &design)
{
    const float gap = row >= 2 ? EditorGrid::kPictureGap : 0.0F;
    return design.height * static_cast<float>(row) + design.top + gap;
}

} // namespace

EditorGrid::EditorGrid(AchtBits *element0, QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("AchtBits1"));
    m_AchtBits1.reserve(kGridElements);
    m_AchtBits1.emplace_back(element0);
    if (element0 != nullptr)
        connectElement(*element0, 0);
}

void EditorGrid::build()
{
    if (count() != 1)
        throw RunTimeError("AchtBits1 is already built");
    if (element(0)->parentWidget() == nullptr)
        throw RunTimeError("AchtBits1 element 0 has no parent to hold the grid");
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = row == 0 ? 1 : 0; column < kGridColumns; ++column) {
            AchtBits &created = createElement(row * kGridColumns + column);
            // Read afresh for each element: the design place is element 0's.
            const TwipsRect design = twipsGeometry(*element(0));
            setTwipsLeft(created, design.width * static_cast<float>(column) + design.left);
            if (row > 0)
                setTwipsTop(created, rowTop(row, design));
            created.show();
        }
    }
}

void EditorGrid::tearDown()
{
    for (std::size_t index = 1; index < m_AchtBits1.size(); ++index)
        delete m_AchtBits1[index].data();
    m_AchtBits1.resize(1);
}

void EditorGrid::refreshFromBuffer(const FrameBuffer &buffer)
{
    for (int column = 0; column < kPageColumns; ++column) {
        for (const int page : kRefreshPageOrder) {
            const quint8 bits = buffer.read(page, column);
            element(kGridOffsets[page] + column)->setPixelByte(bits);
        }
    }
}

void EditorGrid::cellEdited(int index, FrameBuffer &buffer)
{
    if (m_trace)
        m_trace("Index=" + std::to_string(index));
    const PageColumn shown = pageColumnOfElement(index);
    buffer.write(shown.page, shown.column, element(index)->PixelByte());
}

AchtBits *EditorGrid::element(int index) const
{
    if (index < 0 || index >= count())
        throw SubscriptError("AchtBits1 element " + std::to_string(index) + " does not exist (0.."
                             + std::to_string(count() - 1) + ")");
    AchtBits *found = m_AchtBits1[static_cast<std::size_t>(index)].data();
    if (found == nullptr)
        throw RunTimeError("AchtBits1 element " + std::to_string(index) + " has been destroyed");
    return found;
}

int EditorGrid::count() const
{
    return static_cast<int>(m_AchtBits1.size());
}

AchtBits &EditorGrid::createElement(int index)
{
    const AchtBits &first = *element(0);
    auto *created = new AchtBits(first.parentWidget());
    created->hide();
    created->setObjectName(first.objectName());
    created->setEnabled(first.isEnabledTo(first.parentWidget()));
    created->setFocusPolicy(first.focusPolicy());
    created->setToolTip(first.toolTip());
    setTwipsGeometry(*created, twipsGeometry(first));
    m_AchtBits1.emplace_back(created);
    connectElement(*created, index);
    return *created;
}

void EditorGrid::connectElement(AchtBits &widget, int index)
{
    connect(&widget, &AchtBits::PixelClicked, this,
            [this, index](quint8 &byteValue) { emit PixelClicked(index, byteValue); });
}

} // namespace kestrin
