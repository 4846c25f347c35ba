// SPDX-License-Identifier: MIT
#include "import_dialog.h"

#include "frame_preview.h"
#include "handler_boundary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <array>

namespace kestrin {

namespace {

template <typename Choice>
struct Named
{
    const char *label;
    Choice choice;
};

constexpr std::array<Named<Scaling>, 3> kScalings{{
    {QT_TRANSLATE_NOOP("ImportDialog", "Fit: the whole picture, centred"), Scaling::Fit},
    {QT_TRANSLATE_NOOP("ImportDialog", "Fill: covered, the middle kept"), Scaling::Fill},
    {QT_TRANSLATE_NOOP("ImportDialog", "Stretch"), Scaling::Stretch},
}};

constexpr std::array<Named<Dithering>, 3> kDitherings{{
    {QT_TRANSLATE_NOOP("ImportDialog", "None"), Dithering::None},
    {QT_TRANSLATE_NOOP("ImportDialog", "Diffuse"), Dithering::Diffuse},
    {QT_TRANSLATE_NOOP("ImportDialog", "Ordered"), Dithering::Ordered},
}};

constexpr std::array<Named<PictureTarget>, 3> kTargets{{
    {QT_TRANSLATE_NOOP("ImportDialog", "%1 for the upper half"), PictureTarget::Upper},
    {QT_TRANSLATE_NOOP("ImportDialog", "%1 for the lower half"), PictureTarget::Lower},
    {QT_TRANSLATE_NOOP("ImportDialog", "%1 for the whole display"), PictureTarget::Display},
}};

constexpr int kLastLevel = 255;

template <typename Choice, std::size_t Count>
QComboBox *choices(const std::array<Named<Choice>, Count> &named, const char *name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (const Named<Choice> &entry : named)
        box->addItem(ImportDialog::tr(entry.label));
    return box;
}

template <typename Choice, std::size_t Count>
Choice chosen(const std::array<Named<Choice>, Count> &named, const QComboBox &box)
{
    return named.at(static_cast<std::size_t>(box.currentIndex())).choice;
}

} // namespace

ImportDialog::ImportDialog(QImage image, PictureTarget target, const QString &name, HalfPicture upper, HalfPicture lower,
                           QWidget *parent)
    : QDialog(parent),
      m_image(std::move(image)),
      m_target(target),
      m_upper(std::move(upper)),
      m_lower(std::move(lower)),
      m_preview(new FramePreview(this)),
      m_threshold(new QSlider(Qt::Horizontal, this)),
      m_level(new QLabel(this)),
      m_auto(new QCheckBox(tr("Auto (Otsu)"), this)),
      m_scaling(choices(kScalings, "scaling", this)),
      m_dithering(choices(kDitherings, "dithering", this)),
      m_invert(new QCheckBox(tr("Invert: light pixels dark"), this))
{
    for (const Named<PictureTarget> &entry : kTargets) {
        if (entry.choice == target)
            setWindowTitle(tr(entry.label).arg(name));
    }
    m_preview->setObjectName(QStringLiteral("preview"));
    m_threshold->setObjectName(QStringLiteral("threshold"));
    m_threshold->setRange(0, kLastLevel);
    m_threshold->setToolTip(tr("Greys at or below the threshold become dark"));
    m_level->setMinimumWidth(m_level->fontMetrics().horizontalAdvance(QStringLiteral("888")));
    m_auto->setObjectName(QStringLiteral("auto"));
    m_auto->setChecked(true);
    m_invert->setObjectName(QStringLiteral("invert"));

    auto *threshold = new QHBoxLayout;
    threshold->addWidget(m_threshold, 1);
    threshold->addWidget(m_level);
    threshold->addWidget(m_auto);
    auto *form = new QFormLayout;
    form->addRow(tr("Threshold"), threshold);
    form->addRow(tr("Scaling"), m_scaling);
    form->addRow(tr("Dithering"), m_dithering);
    form->addRow(QString(), m_invert);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_preview, 0, Qt::AlignHCenter);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_threshold, &QSlider::valueChanged, this, &ImportDialog::recompute);
    connect(m_auto, &QCheckBox::toggled, this, &ImportDialog::recompute);
    connect(m_scaling, &QComboBox::currentIndexChanged, this, &ImportDialog::recompute);
    connect(m_dithering, &QComboBox::currentIndexChanged, this, &ImportDialog::recompute);
    connect(m_invert, &QCheckBox::toggled, this, &ImportDialog::recompute);
    recompute();
}

Preparation ImportDialog::preparation() const
{
    Preparation preparation;
    preparation.scaling = chosen(kScalings, *m_scaling);
    if (!m_auto->isChecked())
        preparation.threshold = m_threshold->value();
    preparation.dithering = chosen(kDitherings, *m_dithering);
    preparation.invert = m_invert->isChecked();
    return preparation;
}

// While Auto is on, the slider shows the level Otsu's method found there.
void ImportDialog::recompute()
{
    runHandler("import preview", [this] {
        m_imported = importPicture(m_image, m_target, preparation(), m_upper, m_lower);
        {
            const QSignalBlocker quiet(m_threshold);
            m_threshold->setValue(m_imported.level);
        }
        m_threshold->setEnabled(!m_auto->isChecked());
        m_level->setNum(m_imported.level);
        m_preview->setFrame(m_imported.frame);
    });
}

} // namespace kestrin
