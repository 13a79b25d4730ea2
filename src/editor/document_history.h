// The editor's undo history over its one document.
//
// Each step holds the whole document before and after it; undo and redo
// hand one of them back to the window, which shows it the way it shows a
// loaded file. Edits reach the history after they have changed the document:
// record() compares the document with the state of the last step and makes
// a new step of any difference. Typing is merged: consecutive edits of one
// box make one step until another control is edited, the focus moves, or
// endTyping() is called.
//
// The history also knows the settings file each state of the document is
// kept in: a load is a step of the document and its file together, so that
// undoing it brings back the file that was open and the unsaved changes
// that went with it, and a later save never writes into the wrong file.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <map>
#include <string>

#include "document/style_document.h"

class QWidget;

namespace quillane {

// The settings file a document is kept in.
struct DocumentFile {
  std::string path;       // absolute; "" for none: a new document, a sample, an import
  std::string savedText;  // its settings file text when last saved or loaded, "" when never

  bool operator==(const DocumentFile&) const = default;
};

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

  // The document as it stands becomes the start: nothing to undo or redo.
  // The file stays as it is.
  void restart();

  // The settings file the document is kept in now.
  const DocumentFile& file() const { return m_file; }
  // The document as it stands was saved as `file`, or is a new one: no
  // step. The stack's clean state is here, and a step that later goes back
  // to the same file tells unsaved changes against this text.
  void setFile(DocumentFile file);

  // Makes a step of whatever changed since the last one. Returns whether
  // anything did. The page of the class tabs being shown is not a change.
  bool record();
  // The same for an edit typed into `control` ("Text3(4)"), which joins the
  // step before it while that step was typing into the same control.
  bool recordTyping(const QString& control);
  // The same for a load, after which the document is kept in `file`; a
  // load of the very document and file that were there makes no step.
  bool recordLoad(DocumentFile file);
  // The next edit starts a step of its own.
  void endTyping();

  // Lets the window's undo keys undo the document rather than the last
  // typing in a text box: every text box of `window`, one line or many,
  // built now or later, leaves those keys to the window's actions.
  void takeUndoKeysFrom(QWidget* window);

  // Shows `target` through the window (undo and redo), and makes `file`,
  // when there is one, the file it is kept in.
  void show(const StyleDocument& target, const DocumentFile* file = nullptr);

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
  DocumentFile m_file;
  // The text each settings file was last saved or loaded with: a file may
  // have been saved again since a step recorded it.
  std::map<std::string, std::string> m_savedTexts;
  QUndoStack m_stack;
  QPointer<QWidget> m_keysWindow;  // the window whose boxes leave the undo keys alone
  QString m_typingControl;         // empty: the next typing starts a step
  int m_typingRun = 0;             // the merge id of the current run of typing
};

}  // namespace quillane
