#include "ui/placement.h"

#include "ui/twips.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QVariant>
#include <QWidget>
#include <cmath>

namespace placement {

namespace {

// Dynamic properties: the design rectangle (twips), the widened width (pixels
// at scale 1), the design font or whether the font is the parent's, and on
// the form's root its current scale.
constexpr const char *kRect = "pramelorDesignRect";
constexpr const char *kWiden = "pramelorDesignWidth";
constexpr const char *kFont = "pramelorDesignFont";
constexpr const char *kScale = "pramelorScale";
constexpr const char *kFollow = "pramelorFollowsParentFont";

QRect pixels(const QWidget *w, double scale)
{
    QRect r = twips(designRect(w), scale);
    const int widened = w->property(kWiden).toInt();
    if (widened > 0) r.setWidth(std::max(r.width(), int(std::ceil(widened * scale - 1e-9))));
    return r;
}

void apply(QWidget *w) { w->setGeometry(pixels(w, scaleOf(w))); }

void remember(QWidget *w, const QRectF &r)
{
    w->setProperty(kRect, r);
    w->setProperty(kWiden, QVariant());
    apply(w);
}

// A font of the design at the scale. Pixel sizes become fractional point
// sizes so that the text keeps its proportions at any scale.
QFont scaledFont(const QFont &design, double scale, int dpi)
{
    if (scale == 1.0) return design;
    QFont f = design;
    if (design.pixelSize() > 0)
        f.setPointSizeF(design.pixelSize() * scale * 72.0 / std::max(dpi, 1));
    else if (design.pointSizeF() > 0)
        f.setPointSizeF(design.pointSizeF() * scale);
    return f;
}

// The pixels a one-line caption needs across at its present font and style:
// its text, and for a check box or a round button the indicator and the gap
// before the text. 0 for anything else.
int captionWidth(const QWidget *w)
{
    const QStyle *st = w->style();
    QString text;
    int extra = 0;
    if (auto *l = qobject_cast<const QLabel *>(w)) {
        if (l->frameShape() != QFrame::NoFrame || !l->pixmap().isNull() || l->wordWrap()) return 0;
        text = l->text();
        extra = 2 * l->margin();
    } else if (auto *c = qobject_cast<const QCheckBox *>(w)) {
        text = c->text();
        extra = st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
                st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    } else if (auto *r = qobject_cast<const QRadioButton *>(w)) {
        text = r->text();
        extra = st->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
                st->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    }
    if (text.trimmed().isEmpty()) return 0;
    return w->fontMetrics().horizontalAdvance(text) + extra;
}

// A caption too wide for its box at this scale: up to a fifth smaller, then
// wider. Its design font is kept first, so the next scale starts from it.
void fitCaption(QWidget *w, const QWidget *root)
{
    if (!w->property(kFont).isValid()) {
        const QWidget *from = w->parentWidget();
        while (from != root && !from->property(kFont).isValid()) from = from->parentWidget();
        w->setProperty(kFont, from->property(kFont));
    }
    const QFont scaled = w->font();
    const double points =
        scaled.pointSizeF() > 0 ? scaled.pointSizeF() : scaled.pixelSize() * 72.0 / std::max(w->logicalDpiY(), 1);
    for (double shrink = 0.97; shrink > 0.79 && captionWidth(w) > w->width(); shrink -= 0.03) {
        QFont f = scaled;
        f.setPointSizeF(points * shrink);
        w->setFont(f);
    }
    if (const int need = captionWidth(w); need > w->width()) w->resize(need, w->height());
}

}  // namespace

void place(QWidget *w, double left, double top, double width, double height)
{
    remember(w, QRectF(left, top, width, height));
}

void placeLine(QWidget *w, double x1, double y1, double x2, double y2)
{
    if (x1 == x2)
        remember(w, QRectF(x1, std::min(y1, y2), 0, std::abs(y2 - y1)));
    else
        remember(w, QRectF(std::min(x1, x2), y1, std::abs(x2 - x1), 0));
}

void setHeight(QWidget *w, double height)
{
    QRectF r = designRect(w);
    if (!placed(w)) r = QRectF(w->x() * kTwipsPerPixel, w->y() * kTwipsPerPixel, w->width() * kTwipsPerPixel, 0);
    r.setHeight(height);
    w->setProperty(kRect, r);
    apply(w);
}

void widen(QWidget *w, int widthPx)
{
    if (widthPx <= w->property(kWiden).toInt()) return;
    w->setProperty(kWiden, widthPx);
    if (placed(w)) apply(w);
}

QRectF designRect(const QWidget *w) { return w->property(kRect).toRectF(); }

bool placed(const QWidget *w) { return w->property(kRect).isValid(); }

double scaleOf(const QWidget *w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant s = w->property(kScale);
        if (s.isValid()) return s.toDouble();
        if (w->isWindow()) break;
    }
    return 1.0;
}

void setScale(QWidget *root, double scale)
{
    QList<QWidget *> all{root};
    for (QWidget *w : root->findChildren<QWidget *>())
        if (!w->isWindow()) all.append(w);  // popups of lists and menus are their own windows

    // The design fonts are taken before any changes, while the form is as drawn.
    if (!root->property(kFont).isValid()) root->setProperty(kFont, root->font());
    for (QWidget *w : all)
        if (w->testAttribute(Qt::WA_SetFont) && !w->property(kFont).isValid() && !w->property(kFollow).toBool())
            w->setProperty(kFont, w->font());

    root->setProperty(kScale, scale);
    const int dpi = root->logicalDpiY();
    for (QWidget *w : all) {  // parents come before their children
        const QVariant design = w->property(kFont);
        if (design.isValid()) {
            w->setFont(scaledFont(design.value<QFont>(), scale, dpi));
        } else if (w != root && w->testAttribute(Qt::WA_StyleSheet)) {
            // A widget with a style sheet of its own is not told when its
            // parent's font changes: it is given that font.
            w->setProperty(kFollow, true);
            w->setFont(w->parentWidget()->font());
        }
        if (placed(w)) w->setGeometry(pixels(w, scale));
    }
    // Small fonts are a little wider than their scale (their letters take
    // whole pixels): a caption that would lose its last letters takes a font
    // a little smaller, at this scale only, and failing that the pixels it needs.
    for (QWidget *w : all)
        if (placed(w) && captionWidth(w) > w->width()) fitCaption(w, root);
    for (QWidget *w : all)
        if (auto *aware = dynamic_cast<ScaleAware *>(w)) aware->scaleChanged(scale);
}

}  // namespace placement
