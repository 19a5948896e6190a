#pragma once

#include "ChatView.h"

#include <utility>

namespace zumzik {

// A view that keeps the reply line and the input field in memory, for the terminal and for tests.
class MemoryChatView : public ChatView {
public:
    void setReplyLine(const std::string& text) override { m_replyLine = text; }
    std::string inputText() const override { return m_input; }
    void clearInput() override { m_input.clear(); }

    const std::string& replyLine() const { return m_replyLine; }
    void setInputText(std::string text) { m_input = std::move(text); }

private:
    std::string m_replyLine;
    std::string m_input;
};

} // namespace zumzik
