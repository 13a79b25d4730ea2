// The editor's controls by the names of the design: `Check7(3)`, `Text3(18)`,
// `Frame8`. Rules, bindings and tests address a control the way the design
// does; each control's objectName is that same text.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
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
    return widget;
  }
  template <class T>
  T* add(std::string_view family, T* widget) {
    return add(family, kNoIndex, widget);
  }

  QWidget* find(std::string_view family, int index = kNoIndex) const { return m_controls.value(keyOf(family, index)); }
  QWidget* find(ControlId id) const { return find(id.family, id.index); }

  template <class T>
  T* get(std::string_view family, int index = kNoIndex) const {
    return qobject_cast<T*>(find(family, index));
  }

  // Every registered control, in no particular order.
  QList<QWidget*> all() const { return m_controls.values(); }

  // Enables or disables a control, if it exists.
  void setEnabled(std::string_view family, int index, bool on) const;

 private:
  static QString keyOf(std::string_view family, int index) {
    return QString::fromStdString(ControlId{family, index}.toString());
  }
  QHash<QString, QWidget*> m_controls;
};

}  // namespace quillane
