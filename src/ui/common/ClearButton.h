#pragma once
// The clear button of a search or filter field, switched on by the first
// text typed. The button shows only over text anyway; asking the style for
// its icon searches the desktop's icon theme, which is a noticeable part of
// the editor's start when three fields ask for it before the first frame.

class QLineEdit;

namespace common {

// Gives edit its clear button as soon as it holds text (at once if it does now).
void clearButtonWhenTyped(QLineEdit* edit);

} // namespace common
