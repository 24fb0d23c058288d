#pragma once
// The style of the scaled form: the style's own fixed parts (the indicators
// of check boxes and round buttons, the gap before their text, the margins
// and frames of buttons and boxes) grow and shrink with the form, as its
// fonts and places do, so that a caption keeps its room at every scale.
// Outside a scaled form, or at scale 1, the style is the desktop's own.
// The Alt keys of the menu titles are underlined only while Alt is held, so
// the titles read as they always did.

#include <QProxyStyle>

class ScalingStyle : public QProxyStyle {
    Q_OBJECT
public:
    ScalingStyle();
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
