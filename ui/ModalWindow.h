#pragma once

#include <QDialog>
#include <QPoint>
#include <memory>
#include <optional>

namespace zumzik {

// A secondary window of the program: created hidden at start-up, opened modally as often as the
// user likes and hidden again, never destroyed before the program ends. Its controls are built
// when it first opens, so that start-up does not pay for a window that may never open. It opens
// centred on the screen the first time and where the user last left it afterwards; Esc does
// nothing, the title bar's close button and Alt+F4 close it.
class ModalWindow : public QDialog {
    Q_OBJECT
public:
    explicit ModalWindow(QWidget* parent = nullptr);

    // Opens the window modally and returns when it has been closed.
    int openModal();
    // Closes the secondary window that is open, if any, with the result Cancel, as when the
    // program ends meanwhile.
    static void cancelOpenWindow();

protected:
    // Builds the window's controls, once: before the window first opens, or when they are asked
    // for before that.
    virtual void buildContents() = 0;
    void ensureBuilt();

    // The window's controls from its designer form, built first if need be.
    template <typename Form> Form& builtForm(const std::unique_ptr<Form>& form) {
        ensureBuilt();
        return *form;
    }
    // For buildContents: sets the form up on the window, in the windows' font and at the form's
    // size, which the user cannot change.
    template <typename Form> Form& setUpForm(std::unique_ptr<Form>& form) {
        form = std::make_unique<Form>();
        form->setupUi(this);
        fitToForm();
        return *form;
    }

    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fitToForm();

    std::optional<QPoint> m_lastPosition;
    bool m_built = false;
};

} // namespace zumzik
