#include "editor/document_history.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QUndoCommand>
#include <utility>

namespace quillane {

namespace {

// One step: the document before and after it. Redo is skipped when the
// step is pushed, since the edit it records has already been made.
class DocumentStep : public QUndoCommand {
 public:
  DocumentStep(DocumentHistory& history, StyleDocument before, StyleDocument after, int mergeId)
      : m_history(history), m_before(std::move(before)), m_after(std::move(after)), m_mergeId(mergeId) {}

  int id() const override { return m_mergeId; }

  bool mergeWith(const QUndoCommand* other) override {
    m_after = static_cast<const DocumentStep*>(other)->m_after;
    // Typing that ends where it started leaves nothing to undo.
    setObsolete(m_after == m_before);
    return true;
  }

  void undo() override { m_history.show(m_before); }

  void redo() override {
    if (m_pushed) m_history.show(m_after);
    m_pushed = true;
  }

 private:
  DocumentHistory& m_history;
  StyleDocument m_before;
  StyleDocument m_after;
  int m_mergeId;
  bool m_pushed = false;
};

bool isUndoKey(const QKeyEvent* key) {
  const QKeyCombination pressed = key->keyCombination();
  return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
         pressed == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
         pressed == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

}  // namespace

DocumentHistory::DocumentHistory(StyleDocument& document, std::function<void(const StyleDocument&)> show,
                                 QObject* parent)
    : QObject(parent), m_document(document), m_show(std::move(show)), m_recorded(document) {
  m_stack.setUndoLimit(kStepLimit);
  // Moving the focus ends a run of typing.
  connect(qApp, &QApplication::focusChanged, this, &DocumentHistory::endTyping);
}

DocumentHistory::~DocumentHistory() { m_stack.blockSignals(true); }

void DocumentHistory::restart() {
  m_stack.clear();
  m_recorded = m_document;
  endTyping();
}

bool DocumentHistory::record() {
  endTyping();
  return push(-1);
}

bool DocumentHistory::recordTyping(const QString& control) {
  if (control != m_typingControl) {
    m_typingControl = control;
    ++m_typingRun;
  }
  return push(m_typingRun);
}

void DocumentHistory::endTyping() { m_typingControl.clear(); }

bool DocumentHistory::push(int mergeId) {
  m_recorded.currentClassTab = m_document.currentClassTab;
  if (m_document == m_recorded) return false;
  m_stack.push(new DocumentStep(*this, m_recorded, m_document, mergeId));
  m_recorded = m_document;
  Q_EMIT changed();
  return true;
}

void DocumentHistory::show(const StyleDocument& target) {
  m_show(target);
  m_recorded = m_document;
  endTyping();
  Q_EMIT changed();
}

void DocumentHistory::takeUndoKeysFrom(QWidget* root) {
  for (QLineEdit* box : root->findChildren<QLineEdit*>()) box->installEventFilter(this);
}

bool DocumentHistory::eventFilter(QObject* watched, QEvent* event) {
  // A box claims these keys to undo its own typing behind the history's
  // back. Left unclaimed they reach the window's actions; with nothing to
  // undo, the key press does nothing at all.
  if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
      isUndoKey(static_cast<QKeyEvent*>(event))) {
    event->ignore();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quillane
