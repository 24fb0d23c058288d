#include "shell/scaling_style.h"

#include "ui/placement.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStyleFactory>
#include <cmath>

namespace {

bool scales(QStyle::PixelMetric m)
{
    switch (m) {
    case QStyle::PM_IndicatorWidth:
    case QStyle::PM_IndicatorHeight:
    case QStyle::PM_ExclusiveIndicatorWidth:
    case QStyle::PM_ExclusiveIndicatorHeight:
    case QStyle::PM_CheckBoxLabelSpacing:
    case QStyle::PM_RadioButtonLabelSpacing:
    case QStyle::PM_ButtonMargin:
    case QStyle::PM_DefaultFrameWidth:
    case QStyle::PM_ComboBoxFrameWidth:
    case QStyle::PM_FocusFrameHMargin:
    case QStyle::PM_FocusFrameVMargin:
        return true;
    default:
        return false;
    }
}

}  // namespace

// The desktop's style under it, by name, so that the proxy owns its own copy.
ScalingStyle::ScalingStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
{
    qApp->installEventFilter(this);
}

int ScalingStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                            QStyleHintReturn *returnData) const
{
    if (hint == SH_UnderlineShortcut && qobject_cast<const QMenuBar *>(widget))
        return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier) ? 1 : 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

// Alt going down or up redraws the menu bars, with or without their underlines.
bool ScalingStyle::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Alt && watched->isWidgetType())
        for (QMenuBar *bar : static_cast<QWidget *>(watched)->window()->findChildren<QMenuBar *>()) bar->update();
    return QProxyStyle::eventFilter(watched, event);
}

int ScalingStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    const double scale = widget ? placement::scaleOf(widget) : 1.0;
    if (scale == 1.0 || !scales(metric) || base <= 0) return base;
    // A frame or margin never vanishes: at least one pixel.
    return std::max(1, int(std::lround(base * scale)));
}
