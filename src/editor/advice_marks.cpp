#include "editor/advice_marks.h"

#include <QEvent>
#include <QLabel>
#include <QStyle>

#include "editor/control_registry.h"
#include "editor/form_table.h"
#include "generation/advice.h"

namespace quillane {

namespace {

constexpr int kMarkSize = 14;
constexpr int kGap = 4;

QWidget* swatchOf(const ControlRegistry& controls, int box) {
  const ColourFamily* family = colourFamilyOf("Text3");
  return family != nullptr ? controls.findBuilt({family->swatch, box}) : nullptr;
}

}  // namespace

AdviceMarks::AdviceMarks(const StyleDocument& doc, const ControlRegistry& controls, QObject* parent)
    : QObject(parent), m_doc(doc), m_controls(controls) {}

AdviceMarks::~AdviceMarks() = default;

QLabel* AdviceMarks::mark(int box) const { return m_marks[static_cast<std::size_t>(box)]; }

void AdviceMarks::refresh() {
  // The tooltip as paragraphs; screen readers take the same advice as plain
  // text, one line each.
  std::array<QStringList, kColourBoxCount> tips;
  for (const Advice& advice : documentAdvice(m_doc))
    for (int box : advice.colourBoxes) tips[static_cast<std::size_t>(box)] << QString::fromStdString(advice.text);

  for (int box = 0; box < kColourBoxCount; ++box) {
    QPointer<QLabel>& mark = m_marks[static_cast<std::size_t>(box)];
    const QStringList& tip = tips[static_cast<std::size_t>(box)];
    QWidget* swatch = swatchOf(m_controls, box);
    if (tip.isEmpty() || swatch == nullptr) {
      delete mark;
      continue;
    }
    if (mark == nullptr) {
      m_swatches[static_cast<std::size_t>(box)] = swatch;
      mark = new QLabel(swatch->parentWidget());
      mark->setObjectName(QStringLiteral("AdviceMark%1").arg(box));
      mark->setPixmap(swatch->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(kMarkSize, kMarkSize));
      mark->setFixedSize(kMarkSize, kMarkSize);
      swatch->installEventFilter(this);
    }
    QString paragraphs;
    for (const QString& text : tip) paragraphs += QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped());
    mark->setToolTip(paragraphs);
    mark->setAccessibleDescription(tip.join(QLatin1Char('\n')));
    // Named after its box: "段落 フォントカラー アドバイス".
    if (const QWidget* text = m_controls.findBuilt({"Text3", box}))
      mark->setAccessibleName(text->accessibleName() + QStringLiteral(" アドバイス"));
    place(box);
  }
}

bool AdviceMarks::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide)
    for (int box = 0; box < kColourBoxCount; ++box)
      if (watched == m_swatches[static_cast<std::size_t>(box)]) place(box);
  return QObject::eventFilter(watched, event);
}

// Just right of the swatch, centred on it, and shown only with it.
void AdviceMarks::place(int box) {
  QLabel* shown = mark(box);
  const QWidget* swatch = m_swatches[static_cast<std::size_t>(box)];
  if (shown == nullptr || swatch == nullptr) return;
  const QRect at = swatch->geometry();
  shown->move(at.right() + 1 + kGap, at.top() + (at.height() - kMarkSize) / 2);
  shown->setVisible(!swatch->isHidden());
  shown->raise();
}

}  // namespace quillane
