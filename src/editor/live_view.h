// The live view's engine: a widget that takes page text and shows it.
//
// The editor owns this interface; the engine that renders the page (Qt
// WebEngine, src/liveview/) is a plug-in that the editor loads through
// QPluginLoader when the view is first opened. The editor itself never
// links the engine, so a session that never opens the view pays nothing for
// it, and a system without the engine runs everything else.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QtPlugin>
#include <functional>
#include <memory>

class QWidget;

namespace quillane {

// The one run of items that turns the list `before` into `after`: from
// `first`, `removed` items of `before` give way to `inserted`; what the two
// lists share at their start and at their end stays.
//   {a, b, c} -> {a, x, c}: first 1, removed 1, inserted {x}
//   {a, b} -> {a, b, c}:    first 2, removed 0, inserted {c}
struct StyleSplice {
  qsizetype first = 0;
  qsizetype removed = 0;
  QStringList inserted;

  bool empty() const { return removed == 0 && inserted.isEmpty(); }
};

inline StyleSplice styleSplice(const QStringList& before, const QStringList& after) {
  const qsizetype shorter = qMin(before.size(), after.size());
  qsizetype head = 0;
  while (head < shorter && before[head] == after[head]) ++head;
  qsizetype tail = 0;
  while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) ++tail;
  return {head, before.size() - head - tail, after.mid(head, after.size() - head - tail)};
}

class LiveViewEngine {
 public:
  virtual ~LiveViewEngine() = default;

  // The widget that shows the page: a child of the parent the engine was
  // made with, destroyed with the engine. Destroy the engine before that
  // parent.
  virtual QWidget* widget() = 0;

  // Loads `html` (UTF-8 text of a whole page, of any size) with `base` as
  // the address its relative links and pictures resolve against. The texts
  // of its <style> elements are `styles`, in order (demoPageHtml writes the
  // page so). A page shown before is replaced without a blank frame in
  // between, at its scroll position.
  virtual void showPage(const QString& html, const QStringList& styles, const QUrl& base) = 0;

  // `problem` is called with a sentence for the user when a page cannot be
  // shown; the page shown before, if any, stays.
  virtual void setProblemHandler(std::function<void(const QString&)> problem) = 0;

  // Gives the page shown the style elements `styles`, in place: only the
  // run of elements that differs from what the page holds (styleSplice) is
  // replaced, by one script, and the page is not loaded again and keeps its
  // scroll position. Styles given while a page is still loading are applied
  // once it has loaded; of several, only the last.
  virtual void setStyles(const QStringList& styles) = 0;

  // Runs `script` in the page once it has loaded, and hands its value to
  // `done` (an invalid QVariant when the script fails). For tests and
  // benchmarks that read back what the engine shows.
  virtual void evaluate(const QString& script, std::function<void(const QVariant&)> done) = 0;
};

// What the plug-in's root object implements.
class LiveViewPlugin {
 public:
  virtual ~LiveViewPlugin() = default;

  // A new engine whose widget is a child of `parent`. Starts the engine's
  // processes on first use.
  virtual std::unique_ptr<LiveViewEngine> createEngine(QWidget* parent) = 0;
};

}  // namespace quillane

#define QuillaneLiveViewPlugin_iid "io.github.quillane.Quillane.LiveViewPlugin/3"
Q_DECLARE_INTERFACE(quillane::LiveViewPlugin, QuillaneLiveViewPlugin_iid)
