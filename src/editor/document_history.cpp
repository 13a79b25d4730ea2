#include "editor/document_history.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QUndoCommand>
#include <optional>
#include <utility>

namespace quillane {

namespace {

// The files a load step goes between.
struct FileChange {
  DocumentFile before;
  DocumentFile after;
};

// One step: the document before and after it, and for a load the file it
// is kept in. Redo is skipped when the step is pushed, since the edit it
// records has already been made.
class DocumentStep : public QUndoCommand {
 public:
  DocumentStep(DocumentHistory& history, StyleDocument before, StyleDocument after, int mergeId,
               std::optional<FileChange> files = std::nullopt)
      : m_history(history),
        m_before(std::move(before)),
        m_after(std::move(after)),
        m_files(std::move(files)),
        m_mergeId(mergeId) {}

  int id() const override { return m_mergeId; }

  bool mergeWith(const QUndoCommand* other) override {
    m_after = static_cast<const DocumentStep*>(other)->m_after;
    // Typing that ends where it started leaves nothing to undo.
    setObsolete(m_after == m_before);
    return true;
  }

  void undo() override { m_history.show(m_before, m_files ? &m_files->before : nullptr); }

  void redo() override {
    if (m_pushed) m_history.show(m_after, m_files ? &m_files->after : nullptr);
    m_pushed = true;
  }

 private:
  DocumentHistory& m_history;
  StyleDocument m_before;
  StyleDocument m_after;
  std::optional<FileChange> m_files;
  int m_mergeId;
  bool m_pushed = false;
};

// A box that keeps an undo history of its own typing. An editable list
// hands the keys to its box by a direct call that no filter sees.
bool isTextBox(const QObject* object) {
  if (const auto* list = qobject_cast<const QComboBox*>(object)) return list->isEditable();
  return qobject_cast<const QLineEdit*>(object) != nullptr || qobject_cast<const QPlainTextEdit*>(object) != nullptr ||
         qobject_cast<const QTextEdit*>(object) != nullptr;
}

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

void DocumentHistory::setFile(DocumentFile file) {
  if (!file.path.empty()) m_savedTexts[file.path] = file.savedText;
  m_file = std::move(file);
  m_stack.setClean();
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

bool DocumentHistory::recordLoad(DocumentFile file) {
  endTyping();
  if (!file.path.empty()) m_savedTexts[file.path] = file.savedText;
  m_recorded.currentClassTab = m_document.currentClassTab;
  if (m_document == m_recorded && file == m_file) return false;
  m_stack.push(new DocumentStep(*this, m_recorded, m_document, -1, FileChange{m_file, file}));
  m_file = std::move(file);
  m_recorded = m_document;
  Q_EMIT changed();
  return true;
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

void DocumentHistory::show(const StyleDocument& target, const DocumentFile* file) {
  if (file != nullptr) {
    m_file = *file;
    if (const auto saved = m_savedTexts.find(m_file.path); saved != m_savedTexts.end())
      m_file.savedText = saved->second;
  }
  m_show(target);
  m_recorded = m_document;
  endTyping();
  Q_EMIT changed();
}

void DocumentHistory::takeUndoKeysFrom(QWidget* window) {
  // Watched through the application, since pages are built on first use.
  m_keysWindow = window;
  qApp->installEventFilter(this);
}

bool DocumentHistory::eventFilter(QObject* watched, QEvent* event) {
  // A box claims these keys to undo its own typing behind the history's
  // back. Left unclaimed they reach the window's actions; with nothing to
  // undo, the key press does nothing at all.
  if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) && isTextBox(watched) &&
      static_cast<QWidget*>(watched)->window() == m_keysWindow && isUndoKey(static_cast<QKeyEvent*>(event))) {
    event->ignore();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quillane
