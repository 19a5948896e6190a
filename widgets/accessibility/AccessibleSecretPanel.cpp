#include "AccessibleSecretPanel.h"

#include "TSecretPanel.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace zumzik {
namespace {

QAccessibleInterface* createForSecretPanel(const QString&, QObject* object) {
    if (auto* panel = qobject_cast<TSecretPanel*>(object))
        return new AccessibleSecretPanel(panel);
    return nullptr;
}

// Where a text divides into pieces of the given kind, from 0 to its length: every piece runs from
// one of these offsets to the next, so that the pieces cover the whole text, each with the blanks
// or the line end that follow it, as assistive technology counts words and lines.
QList<int> pieceStarts(const QString& text, QAccessible::TextBoundaryType boundaryType) {
    QList<int> starts{0};
    // A word ends where the blanks after it begin; the next piece begins with the next word.
    const auto startsOf = [&](QTextBoundaryFinder::BoundaryType type) {
        QTextBoundaryFinder finder(type, text);
        for (int at = finder.toNextBoundary(); at > 0 && at < text.size();
             at = finder.toNextBoundary()) {
            const bool wordStart = finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem;
            if (type != QTextBoundaryFinder::Word || wordStart)
                starts << at;
        }
    };
    switch (boundaryType) {
    case QAccessible::CharBoundary: startsOf(QTextBoundaryFinder::Grapheme); break;
    case QAccessible::WordBoundary: startsOf(QTextBoundaryFinder::Word); break;
    case QAccessible::SentenceBoundary: startsOf(QTextBoundaryFinder::Sentence); break;
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary:
        for (int at = int(text.indexOf(QLatin1Char('\n'))); at >= 0 && at + 1 < text.size();
             at = int(text.indexOf(QLatin1Char('\n'), at + 1)))
            starts << at + 1;
        break;
    case QAccessible::NoBoundary: break;
    }
    starts << int(text.size());
    return starts;
}

} // namespace

AccessibleSecretPanel::AccessibleSecretPanel(TSecretPanel* panel)
    : QAccessibleWidget(panel, QAccessible::StaticText) {}

QString AccessibleSecretPanel::text(QAccessible::Text kind) const {
    const QWidget* panel = widget();
    switch (kind) {
    case QAccessible::Name:
        return panel->accessibleName().isEmpty() ? panelText() : panel->accessibleName();
    case QAccessible::Description:
        if (!panel->accessibleDescription().isEmpty())
            return panel->accessibleDescription();
        return panel->accessibleName().isEmpty() ? QString() : panelText();
    default: return QAccessibleWidget::text(kind);
    }
}

void* AccessibleSecretPanel::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleSecretPanel::text(int startOffset, int endOffset) const {
    const QString all = panelText();
    startOffset = qBound(0, startOffset, int(all.size()));
    // Screen readers ask up to -1 for "to the end".
    endOffset = endOffset < 0 ? int(all.size()) : qBound(startOffset, endOffset, int(all.size()));
    return all.mid(startOffset, endOffset - startOffset);
}

int AccessibleSecretPanel::characterCount() const {
    return int(panelText().size());
}

QString AccessibleSecretPanel::piece(int offset, QAccessible::TextBoundaryType boundaryType,
                                     int step, int* startOffset, int* endOffset) const {
    const QString all = panelText();
    *startOffset = *endOffset = -1;
    if (offset < 0 || offset > all.size())
        return {};
    // The piece that holds offset; at the very end, none, though the last one comes before it.
    const QList<int> starts = pieceStarts(all, boundaryType);
    const auto next = std::upper_bound(starts.begin(), starts.end(), offset);
    const qsizetype index = (next - starts.begin()) - 1 + step;
    if (index < 0 || index + 1 >= starts.size())
        return {};
    *startOffset = starts[index];
    *endOffset = starts[index + 1];
    return all.mid(*startOffset, *endOffset - *startOffset);
}

QString AccessibleSecretPanel::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const {
    return piece(offset, boundaryType, 0, startOffset, endOffset);
}

QString AccessibleSecretPanel::textBeforeOffset(int offset,
                                                QAccessible::TextBoundaryType boundaryType,
                                                int* startOffset, int* endOffset) const {
    return piece(offset, boundaryType, -1, startOffset, endOffset);
}

QString AccessibleSecretPanel::textAfterOffset(int offset,
                                               QAccessible::TextBoundaryType boundaryType,
                                               int* startOffset, int* endOffset) const {
    return piece(offset, boundaryType, 1, startOffset, endOffset);
}

QString AccessibleSecretPanel::attributes(int offset, int* startOffset, int* endOffset) const {
    // One run without attributes of its own over the whole text.
    const bool inside = offset >= 0 && offset < characterCount();
    *startOffset = inside ? 0 : -1;
    *endOffset = inside ? characterCount() : -1;
    return {};
}

void AccessibleSecretPanel::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
}

QString AccessibleSecretPanel::panelText() const {
    QStringList shown;
    for (const QString& line : static_cast<const TSecretPanel*>(widget())->lines()) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            shown << trimmed;
    }
    return shown.join(QLatin1Char('\n'));
}

void AccessibleSecretPanel::install() {
    static const bool installed = [] {
        QAccessible::installFactory(createForSecretPanel);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace zumzik
