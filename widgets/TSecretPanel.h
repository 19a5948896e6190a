#pragma once

#include "TRxTimer.h"
#include "X11StripCopy.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <QWindow>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

class QPainter;

namespace zumzik {

class ThreadDoorbell;

// A panel that moves a block of text lines through its interior one pixel per tick of its own
// timer: upwards like film credits, entering at the bottom edge, or sideways like a ticker. Each
// frame is drawn off screen, exactly the text area's size, and then copied onto the panel whole,
// so the panel never shows half a frame. Upwards on a plain background, the lines are drawn once
// per layout into a strip, and a frame is the strip's rows at the frame's position. On X11, while
// the whole text area is in view, that strip also lies on the X server and a tick copies the frame
// there itself, straight onto the window: the user-interface thread then has nothing to do.
//
// With AsyncDrawing (the default) the ticks run on the timer's worker thread: the worker advances
// the position and renders the frame under the image's lock, then asks the user-interface thread
// for the copy, which copies the strip's rows when there is one. Only the user-interface thread
// touches the widget. The image's lock is the first lock on every path, and the worker never
// waits for the user-interface thread while holding it.
//
// The panel is active while Active is on: it scrolls, hides its visible children and shows them
// again when it stops. A pass runs the position from 1 to the scroll limit; a Cycled panel then
// starts over, another one deactivates itself on the user-interface thread. Out of sight, a
// Cycled panel lets its ticks lapse and reckons its position from the time when it shows again.
//
// The class's code lies in five files: TSecretPanel.cpp (the widget, its properties and its
// paint), TSecretPanelLayout.cpp (the text area and where the lines lie), TSecretPanelPass.cpp
// (the pass, its ticks and lapses), TSecretPanelStrip.cpp (the strip and the frames drawn from it)
// and TSecretPanelServerCopy.cpp (the frames copied on the X server, through platform/x11/).
class TSecretPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Active READ active WRITE setActive)
    Q_PROPERTY(QStringList Lines READ lines WRITE setLines)
    Q_PROPERTY(bool Cycled READ cycled WRITE setCycled)
    Q_PROPERTY(quint32 Interval READ interval WRITE setInterval)
    Q_PROPERTY(TScrollDirection ScrollDirection READ scrollDirection WRITE setScrollDirection)
    Q_PROPERTY(TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(TBevelCut TextStyle READ textStyle WRITE setTextStyle)
    Q_PROPERTY(QPixmap Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(TGlyphLayout GlyphLayout READ glyphLayout WRITE setGlyphLayout)
    Q_PROPERTY(bool AsyncDrawing READ asyncDrawing WRITE setAsyncDrawing)
    Q_PROPERTY(TBevelCut BevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(TBevelCut BevelInner READ bevelInner WRITE setBevelInner)
    Q_PROPERTY(int BevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
public:
    enum TScrollDirection { sdVertical, sdHorizontal };
    Q_ENUM(TScrollDirection)
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(TBevelCut)
    enum TGlyphLayout { glGlyphLeft, glGlyphRight, glGlyphTop, glGlyphBottom };
    Q_ENUM(TGlyphLayout)
    // Paints the background into rect of canvas instead of the plain fill. During a tick with
    // AsyncDrawing it runs on the timer's worker thread.
    using PanelDrawEvent =
        std::function<void(TSecretPanel* sender, QPainter& canvas, const QRect& rect)>;

    // Lines are cut to this many characters before they are drawn.
    static constexpr int kMaxLineLength = 255;

    explicit TSecretPanel(QWidget* parent = nullptr);
    ~TSecretPanel() override;

    bool active() const { return m_active; }
    // On: scrolling starts from the beginning; an error from the timer or OnStartPlay undoes it
    // and passes on. Off: scrolling stops and the panel shows its frame and background only.
    void setActive(bool on);
    QStringList lines() const { return m_lines; }
    void setLines(const QStringList& lines);
    bool cycled() const { return m_cycled; }
    void setCycled(bool on);
    quint32 interval() const { return m_timer.interval(); }
    void setInterval(quint32 milliseconds);
    TScrollDirection scrollDirection() const { return m_scrollDirection; }
    void setScrollDirection(TScrollDirection direction);
    TAlignment alignment() const { return m_alignment; }
    void setAlignment(TAlignment alignment);
    TBevelCut textStyle() const { return m_textStyle; }
    void setTextStyle(TBevelCut style);
    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap& glyph);
    TGlyphLayout glyphLayout() const { return m_glyphLayout; }
    void setGlyphLayout(TGlyphLayout layout);
    bool asyncDrawing() const { return !m_timer.syncEvent(); }
    void setAsyncDrawing(bool on);
    TBevelCut bevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(TBevelCut bevel);
    TBevelCut bevelInner() const { return m_bevelInner; }
    void setBevelInner(TBevelCut bevel);
    int bevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int width);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    // The background of the whole interior: the palette's button colour unless set.
    QColor color() const;
    void setColor(const QColor& color);
    void setOnPaintClient(PanelDrawEvent handler);

    // What the last layout rebuild found, in panel coordinates and pixels.
    QRect textArea() const;
    QPoint glyphOrigin() const;
    int startLine() const;
    int linePitch() const;
    // Out of sight, where the ticks that fell due would have brought it.
    int scrollPosition() const;
    int scrollLimit() const { return m_limit.load(); }
    // The frame as the last tick left it; null while inactive.
    QImage frame() const;
    TRxTimer& timer() { return m_timer; }

    // One step of the pass; the timer calls it, on its worker thread with AsyncDrawing.
    virtual void tick();
    // Puts the pass back to its beginning as of since: a cycled panel that is out of sight then
    // shows where the ticks since would have brought it, as if it had been active from then on.
    void restartPass(std::chrono::steady_clock::time_point since);

signals:
    void OnStartPlay();
    void OnStopPlay();

protected:
    // Paints the background into rect: OnPaintClient when set, otherwise a fill with the brush,
    // which the callers set to Color. While a frame shows nothing but this plain fill behind its
    // text, the ticks copy the text from lines drawn once per layout instead of drawing them anew;
    // an override that paints anything else must therefore not call this implementation.
    virtual void PaintClient(QPainter& canvas, const QRect& rect);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a frame is drawn from: taken by the layout rebuild under the image's lock, so that the
    // worker never reads the widget itself.
    struct Scene {
        std::optional<QImage> image;
        // A tick has rendered a frame at framePosition since the last layout.
        bool frameReady = false;
        int framePosition = 0;
        // The frames are copied from the strip when painted instead of drawn into the image.
        bool copiesStrip = false;
        QStringList lines;
        int startLine = 0;
        int pitch = 1;
        QRect textArea;
        QRect interior;
        QPoint glyphOrigin;
        TAlignment alignment = taCenter;
        TBevelCut textStyle = bvNone;
        bool horizontal = false;
        bool rightToLeft = false;
        QFont font;
        int tabStop = 0;
        QColor background;
        QColor text;
        QColor light;
        PanelDrawEvent paintClient;
        // Scrolling upwards: the whole block of lines drawn once on the plain background, with
        // room above and below for the parts of glyphs and shadows that reach beyond their rows;
        // null until the first frame of a layout needs it.
        QImage strip;
        // Where the top-left corner of the first line's rectangle lies in the strip.
        QPoint stripOrigin;
        // The strip on the X server and where on the window the text area lies; aimed only
        // while the whole text area is in view.
        X11StripCopy serverStrip;
    };

    int borderExtent() const;
    QRect interior() const;
    // With the image's lock held: the text area and the glyph origin for the current settings.
    void layOutTextArea(Scene& scene) const;
    void rebuildLayout();
    // A change that needs a new layout while active: a rebuild and, unless only the children were
    // re-arranged, a repaint; restart also puts the pass back to its beginning.
    void relayout(bool restart);
    void activate();
    void deactivate();
    // A cycled panel out of sight lets its ticks lapse, so that its worker does not wake, and
    // reckons its position from the ticks that fell due when it shows again or changes.
    void updateLapse();
    // Moves the pass on by the ticks that fell due while lapsed, or by those given; a pass that
    // is not cycled and ended meanwhile deactivates the panel.
    void catchUp();
    void catchUp(quint64 ticks);
    // The position that many ticks on.
    int advanced(quint64 ticks) const;
    void renderFrame();
    // With the image's lock held: the frame at the scene's frame position drawn into the image,
    // unless it turns out that the strip can serve.
    void drawIntoImage(Scene& scene);
    // The first line's rectangle in image coordinates at a position of the pass; the others
    // follow it one pitch apart.
    static QRect firstLineRect(const Scene& scene, int position, int limit);
    // Draws the lines from the first one's rectangle down, skipping those wholly above the top
    // edge and stopping at the first one whose top lies at or below bottomEdge.
    static void drawLines(QPainter& painter, const Scene& scene, QRect line, int bottomEdge);
    // Draws the strip for the current layout unless it is there already; false when the lines
    // have to be drawn on every frame instead: sideways, or when the block is too large to keep.
    static bool prepareStrip(Scene& scene, int limit);
    void ringForCopy();
    // Draws the frame that the last tick rendered with its top-left corner at origin; the image's
    // lock is held.
    static void drawFrame(QPainter& painter, const Scene& scene, QPoint origin, int limit);
    void copyFrame();
    // The row of the strip that the top of the frame at the scene's position shows.
    static int stripRowAtTop(const Scene& scene, int limit);
    // With the image's lock held: the frame copied on the X server, where the strip can be; false
    // when the user-interface thread has to paint it.
    static bool copyOnServer(Scene& scene, int limit);
    // Points the server's copies at the text area on the window while all of it is in view, and
    // stops them otherwise.
    void aimServerStrip();
    // After the window system has shown the window's stored pixels, which hold no text since the
    // server's copies pass them by, shows the last frame again.
    void recopyFrame();
    // The frame, the border band and the background: everything of a repaint but the text.
    void paintBackground(QPainter& painter);
    void drawBevel(QPainter& painter, QRect& rect, TBevelCut bevel) const;

    bool m_active = false;
    QStringList m_lines;
    std::atomic<bool> m_cycled{false};
    TScrollDirection m_scrollDirection = sdVertical;
    TAlignment m_alignment = taCenter;
    TBevelCut m_textStyle = bvNone;
    QPixmap m_glyph;
    // The glyph as drawn: its bottom-left pixel's colour left out.
    QPixmap m_maskedGlyph;
    TGlyphLayout m_glyphLayout = glGlyphLeft;
    TBevelCut m_bevelOuter = bvLowered;
    TBevelCut m_bevelInner = bvNone;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    QList<QPointer<QWidget>> m_hiddenChildren;
    bool m_destroying = false;

    std::atomic<int> m_position{0};
    std::atomic<int> m_limit{0};
    std::atomic<bool> m_onScreen{false};
    std::atomic<bool> m_copyRequested{false};
    // Set on the user-interface thread when a copy arrives; the next paint shows the frame.
    bool m_showFrame = false;

    ThreadDoorbell* m_copyBell;
    // The window whose exposures recopyFrame() answers.
    QPointer<QWindow> m_watchedWindow;

    mutable std::mutex m_imageMutex;
    Scene m_scene;
    // Declared last, so that it goes first: its destruction waits for a tick in progress, which
    // may still use the timer itself and every member above it.
    TRxTimer m_timer;
};

} // namespace zumzik
