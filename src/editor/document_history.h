// The editor's undo history over its one document.
//
// Each step holds the whole document before and after it; undo and redo
// hand one of them back to the window, which shows it the way it shows a
// loaded file. Edits reach the history after they have changed the document:
// record() compares the document with the state of the last step and makes
// a new step of any difference. Typing is merged: consecutive edits of one
// box make one step until another control is edited, the focus moves, or
// endTyping() is called.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>

#include "document/style_document.h"

class QWidget;

namespace quillane {

class DocumentHistory : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DocumentHistory)

 public:
  // The most steps kept: each holds two documents.
  static constexpr int kStepLimit = 500;

  // `document` is the window's, and outlives this history. `show` puts a
  // document into `document` and brings the widgets in line with it; it
  // must record nothing.
  DocumentHistory(StyleDocument& document, std::function<void(const StyleDocument&)> show, QObject* parent = nullptr);
  // Quietly: the stack's last signals would reach a window half torn down.
  ~DocumentHistory() override;

  QUndoStack* stack() { return &m_stack; }

  // The document as it stands becomes the start: nothing to undo or redo,
  // and no unsaved changes.
  void restart();

  // Makes a step of whatever changed since the last one. Returns whether
  // anything did. The page of the class tabs being shown is not a change.
  bool record();
  // The same for an edit typed into `control` ("Text3(4)"), which joins the
  // step before it while that step was typing into the same control.
  bool recordTyping(const QString& control);
  // The next edit starts a step of its own.
  void endTyping();

  // Lets the window's undo keys undo the document rather than the last
  // typing in a text box: the boxes under `root` leave those keys to the
  // window's actions.
  void takeUndoKeysFrom(QWidget* root);

  // Shows `target` through the window (undo and redo).
  void show(const StyleDocument& target);

 Q_SIGNALS:
  // After every change of the document that this history saw: a recorded
  // step, an undo or a redo.
  void changed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool push(int mergeId);

  StyleDocument& m_document;
  std::function<void(const StyleDocument&)> m_show;
  StyleDocument m_recorded;  // the document as the last step left it
  QUndoStack m_stack;
  QString m_typingControl;  // empty: the next typing starts a step
  int m_typingRun = 0;      // the merge id of the current run of typing
};

}  // namespace quillane
