#include "shell/scaled_view.h"

#include "shell/scaling_style.h"
#include "ui/placement.h"
#include "ui/twips.h"

#include <QApplication>
#include <QLayout>
#include <QResizeEvent>

ScaledView::ScaledView(QWidget *form, double widthTwips, double heightTwips, QWidget *parent)
    : QWidget(parent), form_(form), design_(twips(0, 0, widthTwips, heightTwips).size()), lowest_(scaling::kMinScale)
{
    setObjectName(QStringLiteral("scaledView"));
    form_->setParent(this);
    // The style's indicators and margins follow the scale too. Qt gives a
    // widget's style to none of its children, so the application takes it;
    // outside a scaled form it is the desktop's style unchanged.
    if (!qobject_cast<ScalingStyle *>(QApplication::style())) QApplication::setStyle(new ScalingStyle);
    form_->setGeometry(QRect(QPoint(0, 0), design_));
    setMinimumSize(scaling::scaledSize(design_, scaling::kMinScale));
}

QSize ScaledView::sizeHint() const { return scaling::scaledSize(design_, scale_); }

QSize ScaledView::minimumSizeHint() const { return scaling::scaledSize(design_, lowest_); }

void ScaledView::setLowestScale(double scale)
{
    lowest_ = std::clamp(scale, scaling::kSmallestScale, scaling::kMinScale);
    setMinimumSize(scaling::scaledSize(design_, lowest_));
}

void ScaledView::setScale(double scale)
{
    scale_ = std::clamp(scale, lowest_, scaling::kMaxScale);
    placement::setScale(form_, scale_);
    form_->resize(scaling::scaledSize(design_, scale_));
    updateGeometry();
    centre();
}

void ScaledView::resizeWindowToForm()
{
    QWidget *w = window();
    if (w->layout()) {
        w->layout()->invalidate();
        w->layout()->activate();  // the window's minimum follows a lower lowest scale now
    }
    const QSize chrome = w->sizeHint() - sizeHint();  // menu bar, status line
    w->resize(form_->size() + chrome);
}

void ScaledView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const double s = scaling::fitScale(event->size(), design_, lowest_);
    if (s != scale_)
        setScale(s);
    else
        centre();
}

void ScaledView::centre()
{
    form_->move(std::max(0, (width() - form_->width()) / 2), std::max(0, (height() - form_->height()) / 2));
}

void startAtFittingScale(QWidget *window, QSize available)
{
    auto *view = window->findChild<ScaledView *>();
    if (!view) return;
    if (window->layout()) window->layout()->invalidate();
    // The title bar and borders that the window manager adds are not known
    // before the window is shown: leave room for ordinary ones.
    const QSize frame(16, 48);
    const QSize chrome = window->sizeHint() - view->sizeHint() + frame;
    const double scale = scaling::startScale(available, view->designSize(), chrome);
    view->setLowestScale(std::min(scaling::kMinScale, scale));
    view->setScale(scale);
    view->resizeWindowToForm();
}
