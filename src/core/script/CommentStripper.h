#pragma once
// Comment removal with the results of the classic pass-by-pass method, in
// close to linear time.
//
// The classic method repeats passes until one removes nothing. A pass looks
// for the first "/*" that has a "*/" after it (searched from the character
// after the "/"); if there is one, the comment is the text from that "/*"
// through the first such "*/". Otherwise it looks for the first "--"; the
// comment runs from there up to, not including, the next CR LF (or to the end
// of the text). Every occurrence of that comment text in the whole text is
// then removed, left to right without overlap, and the next pass starts from
// the beginning again.
//
// Done literally that is quadratic: each pass rescans the text and repeats a
// global search. Here the text is kept as the original characters with a
// deleted mark, and
//  - the first "/*", "*/", "--" and CR LF are kept in position-ordered token
//    lists, so finding the next comment never rescans;
//  - occurrences of a comment are looked up in the original tokens sorted by
//    the text that follows them (binary search), plus the few places where a
//    deletion joined two pieces of text ("junctions"), which is where text
//    that was not in the original can appear.
// Every candidate is verified against the current text before it is removed,
// so the lookups only need to be complete, never exact.

#include <QString>

namespace script {

QString stripCommentsFast(const QString& text);

} // namespace script
