#pragma once
// The main window's central area: it holds the form, drawn in twips, at one
// scale for the whole of it, the largest at which the form fits the room the
// window gives (within 50 % … 300 %, lower on a screen too small for 50 %),
// centred. At scale 1 the form is exactly as drawn.

#include <QWidget>

class ScaledView : public QWidget {
    Q_OBJECT
public:
    // form: the form's root, drawn widthTwips × heightTwips.
    ScaledView(QWidget *form, double widthTwips, double heightTwips, QWidget *parent = nullptr);

    double scale() const { return scale_; }
    // Scales the form now (within the lowest scale … 300 %) and asks for the
    // matching room.
    void setScale(double scale);
    // The smallest the form may become: 50 %, or less for a small screen.
    double lowestScale() const { return lowest_; }
    void setLowestScale(double scale);
    // Resizes the window so that the form at its present scale fills it.
    void resizeWindowToForm();
    // The form at scale 1, in pixels.
    QSize designSize() const { return design_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void centre();

    QWidget *form_;
    QSize design_;
    double scale_ = 1.0;
    double lowest_;
};

// Puts the window at the scale the screen allows: as drawn when that fits the
// screen's free area, else the largest scale that fits.
void startAtFittingScale(QWidget *window, QSize available);
