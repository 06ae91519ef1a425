#pragma once

#include <QWidget>

namespace tallix {

// Whether the window system tells a window where it is. Wayland doesn't: there a window can neither
// place itself nor learn its position, and what Qt reports as its position is not where it is.
bool WindowPositionsKnown();

// A top-level window of the program. Its position is kept in twips as a single-precision number, the
// unit the settings store and the placement rules use, and moves with the window when the user drags it.
class Form : public QWidget {
    Q_OBJECT

public:
    explicit Form(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    // Edges of the window frame in twips.
    float Left() const { return left_; }
    float Top() const { return top_; }
    void SetLeft(float twips);
    void SetTop(float twips);

    // Fixed client area, in twips.
    void SetClientSize(int widthTwips, int heightTwips);

    // Shows the window without modality, or brings it to the front if it is open; either way it becomes
    // the active window, restored if it was minimised.
    void ShowInFront();

protected:
    void moveEvent(QMoveEvent* event) override;
    // Tells the window manager what the frame offers each time the window is about to be mapped.
    void showEvent(QShowEvent* event) override;

private:
    float left_ = 0;
    float top_ = 0;
};

// The program's windows that are open: shown, and not closed (a closed window lingers hidden until the
// event loop deletes it).
QList<Form*> OpenForms();
Form* OpenForm(QStringView name);

} // namespace tallix
