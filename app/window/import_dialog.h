// SPDX-License-Identifier: MIT
#pragma once

#include "picture_import.h"

#include <QDialog>
#include <QImage>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace kestrin {

class FramePreview;

// Shows what the display will show before an opened picture replaces
// anything: the frame Convert will make, drawn like the grid and recomputed
// whenever the threshold (or Auto: Otsu's level), the scaling, the dithering
// or invert changes. It starts as `kestrin convert` does without options:
// Auto, fit, no dithering, not inverted.
class ImportDialog : public QDialog
{
    Q_OBJECT

public:
    // image is decoded for every scaling (readImportImage); upper and lower
    // are the picture boxes' pictures now, the other half's kept as it is.
    ImportDialog(QImage image, PictureTarget target, const QString &name, HalfPicture upper, HalfPicture lower,
                 QWidget *parent = nullptr);

    [[nodiscard]] PictureTarget target() const { return m_target; }
    [[nodiscard]] Preparation preparation() const;
    // The pictures and frame the preview shows.
    [[nodiscard]] const ImportedPictures &imported() const { return m_imported; }

private:
    void recompute();

    QImage m_image;
    PictureTarget m_target;
    HalfPicture m_upper;
    HalfPicture m_lower;
    ImportedPictures m_imported;
    FramePreview *m_preview = nullptr;
    QSlider *m_threshold = nullptr;
    QLabel *m_level = nullptr;
    QCheckBox *m_auto = nullptr;
    QComboBox *m_scaling = nullptr;
    QComboBox *m_dithering = nullptr;
    QCheckBox *m_invert = nullptr;
};

} // namespace kestrin
