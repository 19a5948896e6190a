#pragma once

#include <QString>
#include <string>

namespace zumzik {

// The part of a reply (code page 1251) that the one-line reply line can ever show, as a QString.
// The reply line cuts text at the window's edge; laying out a pasted line of megabytes only to cut
// it would freeze the window, so the text is cut before it reaches the label, generously past the
// widest line the window could show.
QString replyLineText(const std::string& cp1251);

// No font has glyphs narrow enough to fit more characters than this on the reply line.
inline constexpr std::size_t kReplyLineMaxCharacters = 1024;

} // namespace zumzik
