// A small warning mark beside each colour box that the advice on the
// document (generation/advice.h) concerns, with that advice as its tooltip.
//
// A mark sits just right of the box's swatch, over the page, and follows the
// swatch as the page is laid out; it does not take part in the page's
// layout, so the form looks as ever when there is nothing to say.
#pragma once

#include <QObject>
#include <QPointer>
#include <array>

#include "document/style_document.h"

class QLabel;

namespace quillane {

class ControlRegistry;

class AdviceMarks : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(AdviceMarks)

 public:
  // Keeps references to `doc` and `controls`, which must outlive it.
  AdviceMarks(const StyleDocument& doc, const ControlRegistry& controls, QObject* parent = nullptr);
  ~AdviceMarks() override;

  // Brings the marks in line with the document. Boxes whose page is not
  // built yet get their marks when refreshed after it is.
  void refresh();

  // The mark beside colour box Text3(box) while it has one; null otherwise.
  QLabel* mark(int box) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void place(int box);

  const StyleDocument& m_doc;
  const ControlRegistry& m_controls;
  std::array<QPointer<QLabel>, kColourBoxCount> m_marks;
  // The swatches the marks follow, as the window closes too, when its
  // registry is gone already.
  std::array<QPointer<QWidget>, kColourBoxCount> m_swatches;
};

}  // namespace quillane
