// The editor's controls by the names of the design: `Check7(3)`, `Text3(18)`,
// `Frame8`. Rules, bindings and tests address a control the way the design
// does; each control's objectName is that same text.
//
// The window builds the pages that are hidden at start-up on first use: a
// lookup that misses while such pages wait builds them all first, so every
// caller finds every control whether or not its page has been shown.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <string_view>

#include "document/field_table.h"

namespace quillane {

class ControlRegistry {
 public:
  // Registers `widget` as family(index) and names it so.
  template <class T>
  T* add(std::string_view family, int index, T* widget) {
    const QString key = keyOf(family, index);
    widget->setObjectName(key);
    m_controls.insert(key, widget);
    m_order.append(widget);
    return widget;
  }
  template <class T>
  T* add(std::string_view family, T* widget) {
    return add(family, kNoIndex, widget);
  }

  // The control, building the waiting pages first when it is not there yet;
  // nullptr for a name no page has.
  QWidget* find(std::string_view family, int index = kNoIndex) const;
  QWidget* find(ControlId id) const { return find(id.family, id.index); }
  // The control if it is built already; never builds anything.
  QWidget* findBuilt(ControlId id) const { return m_controls.value(keyOf(id.family, id.index)); }

  template <class T>
  T* get(std::string_view family, int index = kNoIndex) const {
    return qobject_cast<T*>(find(family, index));
  }

  // Every control of the window (the waiting pages built first), in no
  // particular order.
  QList<QWidget*> all() const;

  // Enables or disables a control, if it exists.
  void setEnabled(std::string_view family, int index, bool on) const;

  // How many controls are registered, and those registered from position
  // `first` on, in the order they were registered.
  qsizetype count() const { return m_order.size(); }
  QList<QWidget*> registeredFrom(qsizetype first) const { return m_order.mid(first); }

  // `build` makes the controls of the pages that wait; it is called once, at
  // the first lookup that misses (or all()), and must register them.
  void buildOnMiss(std::function<void()> build) { m_buildWaiting = std::move(build); }

 private:
  static QString keyOf(std::string_view family, int index) {
    return QString::fromStdString(ControlId{family, index}.toString());
  }
  void buildWaiting() const;

  QHash<QString, QWidget*> m_controls;
  QList<QWidget*> m_order;
  mutable std::function<void()> m_buildWaiting;
};

}  // namespace quillane
