#pragma once

#include <string>

namespace zumzik {

// What the conversation needs of the window it talks through: the reply line and the input field.
// All text is code page 1251.
class ChatView {
public:
    virtual ~ChatView() = default;
    // Replaces the whole text of the reply line.
    virtual void setReplyLine(const std::string& text) = 0;
    // The whole text of the input field.
    virtual std::string inputText() const = 0;
    virtual void clearInput() = 0;
};

} // namespace zumzik
