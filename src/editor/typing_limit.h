// A text box's typing limit. Text a load puts in may be longer and is kept
// whole (QLineEdit::setText would cut it); the limit comes back once the
// text fits it again.
#pragma once

#include <QLineEdit>
#include <QtGlobal>

namespace quillane {

inline constexpr const char* kTypingLimit = "typingLimit";

// Limits what the user can type into `edit`.
inline void limitTyping(QLineEdit* edit, int length) {
  edit->setProperty(kTypingLimit, length);
  edit->setMaxLength(length);
}

// Widens the limit to hold a text of `length`, or narrows it back.
inline void fitTypingLimit(QLineEdit* edit, qsizetype length) {
  const int limit = edit->property(kTypingLimit).toInt();
  if (limit > 0) edit->setMaxLength(static_cast<int>(qMax<qsizetype>(limit, length)));
}

}  // namespace quillane
