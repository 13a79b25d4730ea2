// The web fonts' long task (cutting and compressing a large font takes
// seconds) on a thread of its own, so that the editor answers input while it
// runs, with a progress bar and a cancel button.
//
// The work runs on the task's thread and returns what the editor's thread
// then does with its result (show sizes, write the output); a cancelled
// task's result is thrown away, so a cancel writes nothing. The fonts'
// libraries cannot be stopped inside a call: the thread ends after the step
// it is in, and a task started meanwhile waits for it, so that no two ever
// hold a large font at once.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QProgressBar;
class QAbstractButton;
class QThread;
class QTimer;

namespace quillane {

namespace fonts {
struct EmbedProgress;
}

class FontTask : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(FontTask)

 public:
  // Tells the editor where the work is; false when the task was cancelled
  // and the work should stop.
  using Report = std::function<bool(const fonts::EmbedProgress&)>;
  // Runs on the task's thread; returns what the editor's thread does with
  // the result.
  using Work = std::function<std::function<void()>(const Report&)>;

  // Shows progress in `bar` and cancels with `cancel`, which it enables
  // only while a task runs.
  FontTask(QProgressBar* bar, QAbstractButton* cancel, QObject* parent = nullptr);
  // Waits for the thread still running.
  ~FontTask() override;

  // Starts `work`; a task already running is cancelled first.
  void start(Work work);
  void cancel();
  // Whether a task runs that has not been cancelled.
  bool running() const { return m_current != nullptr; }
  // Whether any thread is still at work, a cancelled one included.
  bool busy() const;

 Q_SIGNALS:
  // A task started, or ended (done, failed or cancelled).
  void runningChanged(bool running);

 private:
  struct State;
  void launch();
  void showProgress();
  void finish(const std::shared_ptr<State>& state);

  QPointer<QProgressBar> m_bar;
  QPointer<QAbstractButton> m_cancel;
  std::shared_ptr<State> m_current;  // the task the bar shows; null when none
  Work m_waiting;                    // a task started while a cancelled one's thread ends
  QThread* m_thread = nullptr;       // the thread at work, cancelled or not
  QTimer* m_poll = nullptr;
};

}  // namespace quillane
