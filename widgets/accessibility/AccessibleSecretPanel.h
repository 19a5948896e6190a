#pragma once

#include <QAccessibleWidget>

namespace zumzik {

class TSecretPanel;

// What assistive technology sees of a scrolling text panel: static text that holds the whole text
// at once, since no screen reader can follow it scrolling by. The text can be read whole or piece
// by piece (characters, words, sentences, lines) through a read-only text interface; it has no
// caret, no selection and no place on the screen, as it keeps moving. An accessible name or
// description set on the panel takes precedence; without a name the text serves as the name, as a
// label's does, so that screen readers read it out with the window.
class AccessibleSecretPanel : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessibleSecretPanel(TSecretPanel* panel);

    QString text(QAccessible::Text kind) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTextInterface
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* startOffset, int* endOffset) const override;
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}

    // Registers the interface with Qt's accessibility; safe to call any number of times.
    static void install();

private:
    // The lines that are not blank, trimmed, one per line.
    QString panelText() const;
    // The piece of the text that the boundary type delimits around offset (step 0), the one
    // before it (-1) or the one after it (1); none (-1, -1) beyond the text.
    QString piece(int offset, QAccessible::TextBoundaryType boundaryType, int step,
                  int* startOffset, int* endOffset) const;
};

} // namespace zumzik
