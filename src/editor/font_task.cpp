#include "editor/font_task.h"

#include <QAbstractButton>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <mutex>

#include "fonts/embed_result.h"

namespace quillane {

// What the task's thread and the editor's share: the progress, the cancel
// and the result.
struct FontTask::State {
  std::mutex lock;
  fonts::EmbedProgress progress;  // under `lock`
  std::atomic<bool> cancelled{false};
  Work work;
  std::function<void()> deliver;  // set by the task's thread before it ends
};

FontTask::FontTask(QProgressBar* bar, QAbstractButton* cancel, QObject* parent)
    : QObject(parent), m_bar(bar), m_cancel(cancel), m_poll(new QTimer(this)) {
  // The bar follows the task twenty times a second; the task's thread never
  // touches a widget.
  m_poll->setInterval(50);
  connect(m_poll, &QTimer::timeout, this, &FontTask::showProgress);
  if (m_cancel != nullptr) {
    m_cancel->setEnabled(false);
    connect(m_cancel, &QAbstractButton::clicked, this, &FontTask::cancel);
  }
}

FontTask::~FontTask() {
  if (m_current != nullptr) m_current->cancelled = true;
  if (m_thread == nullptr) return;
  m_thread->wait();
  delete m_thread;
}

bool FontTask::busy() const { return m_thread != nullptr || m_waiting != nullptr; }

void FontTask::start(Work work) {
  if (m_current != nullptr) cancel();
  m_waiting = std::move(work);
  if (m_bar != nullptr) {
    m_bar->setRange(0, 0);  // busy until the first step is known
    m_bar->setTextVisible(true);
    m_bar->setFormat(m_thread != nullptr ? QStringLiteral("前の処理が終わるのを待っています…")
                                         : QStringLiteral("始めています…"));
  }
  if (m_cancel != nullptr) m_cancel->setEnabled(true);
  m_poll->start();
  Q_EMIT runningChanged(true);
  if (m_thread == nullptr) launch();
}

void FontTask::launch() {
  auto state = std::make_shared<State>();
  state->work = std::exchange(m_waiting, {});
  m_current = state;
  m_thread = QThread::create([state] {
    const Report report = [&state](const fonts::EmbedProgress& progress) {
      const std::lock_guard<std::mutex> hold(state->lock);
      state->progress = progress;
      return !state->cancelled.load();
    };
    std::function<void()> deliver = state->work(report);
    const std::lock_guard<std::mutex> hold(state->lock);
    state->deliver = std::move(deliver);
  });
  connect(m_thread, &QThread::finished, this, [this, state] { finish(state); });
  m_thread->start(QThread::LowPriority);
}

void FontTask::cancel() {
  if (m_current == nullptr && m_waiting == nullptr) return;
  if (m_current != nullptr) m_current->cancelled = true;
  m_current.reset();
  m_waiting = {};
  m_poll->stop();
  if (m_bar != nullptr) {
    m_bar->setRange(0, 1);
    m_bar->setValue(0);
    m_bar->setFormat(QStringLiteral("中止しました"));
  }
  if (m_cancel != nullptr) m_cancel->setEnabled(false);
  Q_EMIT runningChanged(false);
}

void FontTask::showProgress() {
  if (m_current == nullptr || m_bar == nullptr) return;
  fonts::EmbedProgress now;
  {
    const std::lock_guard<std::mutex> hold(m_current->lock);
    now = m_current->progress;
  }
  if (now.total <= 0) return;
  m_bar->setRange(0, now.total);
  m_bar->setValue(now.done);
  m_bar->setFormat(QString::fromStdString(now.step));
}

void FontTask::finish(const std::shared_ptr<State>& state) {
  m_thread->deleteLater();
  m_thread = nullptr;
  if (state == m_current) {
    m_current.reset();
    m_poll->stop();
    if (m_bar != nullptr) {
      m_bar->setRange(0, 1);
      m_bar->setValue(state->cancelled ? 0 : 1);
      m_bar->setFormat(state->cancelled ? QStringLiteral("中止しました") : QStringLiteral("終わりました"));
    }
    if (m_cancel != nullptr) m_cancel->setEnabled(false);
    std::function<void()> deliver;
    {
      const std::lock_guard<std::mutex> hold(state->lock);
      deliver = std::move(state->deliver);
    }
    Q_EMIT runningChanged(false);
    // A cancel that came while the last step ended keeps its promise.
    if (!state->cancelled && deliver) deliver();
  }
  if (m_waiting) launch();
}

}  // namespace quillane
