// The Qt widgets of a loaded dialog: a child window of the client area with
// a painted title strip, laid out in dialog units of its font. The widgets
// mirror the field store and hand the operator's input back to it, so that
// focus reports, state changes and button presses arise as from a person.
#include "toolkit/dialogs.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

#include "resources/embedded.h"
#include "toolkit/core.h"
#include "toolkit/internal.h"
#include "toolkit/session.h"

namespace toolkit {

namespace {

const char* const fieldProperty = "dropfixField";

QString fromBytes(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
std::string toBytes(const QString& s) {
    return s.toLatin1().toStdString();
}

// The face asked for, or the nearest the system has: the templates name
// Windows faces, which other systems replace by their own sans or fixed font.
QFont fontFor(const FontOption& f) {
    QFont font(QString::fromStdString(f.face));
    const bool fixed = QString::fromStdString(f.face).contains(QLatin1String("Courier"), Qt::CaseInsensitive);
    font.setStyleHint(fixed ? QFont::TypeWriter : QFont::SansSerif);
    if (fixed && !QFontInfo(font).fixedPitch()) font.setFamily(QStringLiteral("Monospace"));
    font.setPointSize(f.points);
    font.setWeight(f.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(f.italic);
    return font;
}

// Pixels per dialog unit: across, a quarter of the font's average character
// width; down, an eighth of its height.
struct DialogUnits {
    int baseX = 6, baseY = 13;
    int x(int units) const { return static_cast<int>(std::lround(units * baseX / 4.0)); }
    int y(int units) const { return static_cast<int>(std::lround(units * baseY / 8.0)); }
};

DialogUnits unitsFor(const QFont& font) {
    const QFontMetricsF fm(font);
    const double avg =
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
    return DialogUnits{std::max(1, static_cast<int>(std::lround(avg))),
                       std::max(1, static_cast<int>(std::lround(fm.height())))};
}

// A radio button that a click only ever turns on; the store turns the rest
// of its group off, which also lets a whole group be off.
class RadioField : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override { setChecked(true); }
};

// An integer field with arrows that step by one within its range. Its text
// stays free, so an empty or bad entry is seen by OK like any number field.
class SpinField : public QAbstractSpinBox {
public:
    SpinField(QWidget* parent, double lowest, double highest)
        : QAbstractSpinBox(parent), lowest_(lowest), highest_(highest) {}
    QLineEdit* edit() const { return lineEdit(); }

    void stepBy(int steps) override {
        const double now = readDialogNumber(toBytes(text())).value_or(lowest_);
        const double v = std::clamp(std::trunc(now) + steps, lowest_, highest_);
        lineEdit()->setText(QString::number(static_cast<long long>(v)));
        selectAll();
    }

protected:
    StepEnabled stepEnabled() const override {
        if (isReadOnly()) return StepNone;
        const auto v = readDialogNumber(toBytes(text()));
        if (!v) return StepUpEnabled | StepDownEnabled;
        StepEnabled e = StepNone;
        if (*v < highest_) e |= StepUpEnabled;
        if (*v > lowest_) e |= StepDownEnabled;
        return e;
    }

private:
    double lowest_, highest_;
};

QLineEdit* lineEditOf(QWidget* w) {
    if (auto* e = dynamic_cast<QLineEdit*>(w)) return e;
    if (auto* s = dynamic_cast<SpinField*>(w)) return s->edit();
    return nullptr;
}

}  // namespace

// The dialog's window: title strip, close box, and the body holding the
// fields. Keys inside it are the dialog's: Tab, Enter, Escape, and no
// single-key accelerator of the main window.
class DialogFrame : public QWidget {
public:
    DialogFrame(QWidget* area, LoadedDialog& d);

    LoadedDialog& d;
    std::vector<QWidget*> widgets;  // by template index; null for none
    bool mirroring = false;         // the store writes the widgets: no input
    bool dying = false;

    int indexOfWidget(const QWidget* w) const;
    void pressButton(int fieldId);
    void focusFrame() { setFocus(Qt::OtherFocusReason); }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool focusNextPrevChild(bool next) override;

private:
    static constexpr int border = 2;
    int titleHeight() const { return QFontMetrics(titleFont()).height() + 6; }
    QFont titleFont() const;
    QRect closeBox() const;
    QWidget* makeField(int index, const DialogUnits& u);
    void connectInput(QWidget* w, int index);

    QWidget* body_ = nullptr;
    std::optional<QPoint> dragFrom_;
    bool closePressed_ = false;
};

class DialogView {
public:
    QPointer<DialogFrame> frame;
};

void ViewDeleter::operator()(DialogView* v) const {
    if (v->frame) {
        v->frame->dying = true;
        delete v->frame.data();
    }
    delete v;
}

namespace {

// The field and frame of the widget that holds the focus, if it is a field.
std::pair<DialogFrame*, int> fieldAt(QWidget* w) {
    int index = -1;
    for (; w; w = w->parentWidget()) {
        if (index < 0) {
            const QVariant v = w->property(fieldProperty);
            if (v.isValid()) index = v.toInt();
        }
        if (auto* f = dynamic_cast<DialogFrame*>(w)) return {f, index};
    }
    return {nullptr, -1};
}

// One watcher for the whole program: a field that takes the focus reports.
void watchFocus() {
    static bool watching = false;
    if (watching || !qApp) return;
    watching = true;
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget*, QWidget* now) {
        const auto [frame, index] = fieldAt(now);
        if (frame && index >= 0 && !frame->dying && frame->isVisible()) fieldTookFocus(frame->d, index);
    });
}

}  // namespace

DialogFrame::DialogFrame(QWidget* area, LoadedDialog& dialog) : QWidget(area), d(dialog) {
    setFocusPolicy(Qt::ClickFocus);
    setProperty("dialogId", d.tpl.id);
    const QFont font = fontFor(d.tpl.font);
    setFont(font);
    const DialogUnits u = unitsFor(font);
    body_ = new QWidget(this);
    body_->setAutoFillBackground(true);
    body_->setGeometry(border, border + titleHeight(), u.x(d.tpl.width), u.y(d.tpl.height));
    resize(body_->width() + 2 * border, body_->height() + titleHeight() + 2 * border);
    widgets.assign(d.tpl.fields.size(), nullptr);
    for (int i = 0; i < static_cast<int>(d.tpl.fields.size()); ++i) {
        widgets[static_cast<std::size_t>(i)] = makeField(i, u);
    }
    hide();
}

QFont DialogFrame::titleFont() const {
    QFont f = font();
    f.setBold(true);
    return f;
}

QRect DialogFrame::closeBox() const {
    const int h = titleHeight() - 6;
    return QRect(width() - border - 3 - h, border + 3, h, h);
}

int DialogFrame::indexOfWidget(const QWidget* w) const {
    for (std::size_t i = 0; i < widgets.size(); ++i)
        if (widgets[i] == w) return static_cast<int>(i);
    return -1;
}

void DialogFrame::pressButton(int fieldId) {
    const int i = d.tpl.indexOf(fieldId);
    if (i < 0) return;
    if (auto* b = dynamic_cast<QPushButton*>(widgets[static_cast<std::size_t>(i)]);
        b && b->isEnabled() && b->isVisible())
        b->click();
}

bool DialogFrame::event(QEvent* e) {
    // A key without Ctrl or Alt typed inside the dialog is the dialog's, not
    // an accelerator of the main window.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (!(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            e->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

void DialogFrame::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            auto* focused = dynamic_cast<QPushButton*>(QApplication::focusWidget());
            if (focused && isAncestorOf(focused))
                focused->click();
            else {
                int def = 1;
                for (const auto& f : d.tpl.fields)
                    if (f.isDefault) def = f.id;
                pressButton(def);
            }
            break;
        }
        case Qt::Key_Escape: pressButton(2); break;
        default: break;
    }
    e->accept();
}

void DialogFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Window));
    p.setPen(pal.color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(pal.color(QPalette::Light));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
    const QRect strip(border, border, width() - 2 * border, titleHeight());
    QLinearGradient g(strip.topLeft(), strip.topRight());
    g.setColorAt(0, QColor(10, 36, 106));
    g.setColorAt(1, QColor(86, 128, 196));
    p.fillRect(strip, g);
    p.setFont(titleFont());
    p.setPen(Qt::white);
    p.drawText(strip.adjusted(5, 0, -(closeBox().width() + 8), 0), Qt::AlignLeft | Qt::AlignVCenter,
               fromBytes(d.tpl.title));
    const QRect box = closeBox();
    p.fillRect(box, pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Dark));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.setPen(QPen(pal.color(QPalette::ButtonText), 1.5));
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF cross = QRectF(box).adjusted(4, 4, -4, -4);
    p.drawLine(cross.topLeft(), cross.bottomRight());
    p.drawLine(cross.topRight(), cross.bottomLeft());
}

void DialogFrame::mousePressEvent(QMouseEvent* e) {
    raise();
    const QPoint pos = e->position().toPoint();
    if (e->button() == Qt::LeftButton && closeBox().contains(pos))
        closePressed_ = true;
    else if (e->button() == Qt::LeftButton && pos.y() < border + titleHeight())
        dragFrom_ = pos;
    e->accept();
}

void DialogFrame::mouseMoveEvent(QMouseEvent* e) {
    if (!dragFrom_ || !parentWidget()) return;
    QPoint to = mapToParent(e->position().toPoint() - *dragFrom_);
    // Keep the title strip within reach inside the client area.
    const QRect area = parentWidget()->rect();
    to.setX(std::clamp(to.x(), area.left() - width() + 40, std::max(area.left(), area.right() - 40)));
    to.setY(std::clamp(to.y(), area.top(), std::max(area.top(), area.bottom() - titleHeight())));
    move(to);
}

void DialogFrame::mouseReleaseEvent(QMouseEvent* e) {
    // The close box is the dialog's Cancel, as Escape is.
    if (closePressed_ && closeBox().contains(e->position().toPoint())) pressButton(2);
    closePressed_ = false;
    dragFrom_.reset();
}

bool DialogFrame::focusNextPrevChild(bool next) {
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(widgets.size()); ++i) {
        QWidget* w = widgets[static_cast<std::size_t>(i)];
        if (w && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(this))
            order.push_back(i);
    }
    if (order.empty()) return true;
    const int at = fieldAt(QApplication::focusWidget()).second;
    auto pos = std::find(order.begin(), order.end(), at);
    int k = pos == order.end() ? (next ? -1 : 0) : static_cast<int>(pos - order.begin());
    const int n = static_cast<int>(order.size());
    k = ((next ? k + 1 : k - 1) % n + n) % n;
    QWidget* w = widgets[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])];
    w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    if (auto* e = lineEditOf(w)) e->selectAll();
    return true;
}

QWidget* DialogFrame::makeField(int index, const DialogUnits& u) {
    const FieldTemplate& t = d.field(index);
    QWidget* w = nullptr;
    const Qt::Alignment align = t.align == Align::Right    ? Qt::AlignRight
                                : t.align == Align::Centre ? Qt::AlignHCenter
                                                           : Qt::AlignLeft;
    switch (t.kind) {
        case FieldKind::Text: {
            auto* l = new QLabel(body_);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            l->setTextFormat(Qt::PlainText);
            w = l;
            break;
        }
        case FieldKind::HLine:
        case FieldKind::VLine: {
            auto* f = new QFrame(body_);
            f->setFrameShape(t.kind == FieldKind::HLine ? QFrame::HLine : QFrame::VLine);
            f->setFrameShadow(QFrame::Sunken);
            w = f;
            break;
        }
        case FieldKind::Real:
        case FieldKind::Integer: {
            auto* e = new QLineEdit(body_);
            e->setAlignment(align | Qt::AlignVCenter);
            if (t.readOnly) {
                e->setReadOnly(true);
                e->setFrame(false);
                QPalette p = e->palette();
                p.setColor(QPalette::Base, palette().color(QPalette::Window));
                e->setPalette(p);
            }
            e->setTextMargins(0, 0, 0, 0);
            w = e;
            break;
        }
        case FieldKind::Spin: {
            const RangeOption r = t.range.value_or(RangeOption{-1e9, 1e9});
            auto* s = new SpinField(body_, r.lowest, r.highest);
            s->setAlignment(align | Qt::AlignVCenter);
            s->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
            w = s;
            break;
        }
        case FieldKind::List: {
            auto* l = new QListWidget(body_);
            l->setSelectionMode(QAbstractItemView::SingleSelection);
            l->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            l->setUniformItemSizes(true);
            w = l;
            break;
        }
        case FieldKind::CheckBox: w = new QCheckBox(body_); break;
        case FieldKind::Radio: {
            auto* r = new RadioField(body_);
            r->setAutoExclusive(false);
            w = r;
            break;
        }
        case FieldKind::Button: {
            auto* b = new QPushButton(body_);
            b->setAutoDefault(false);
            b->setDefault(t.isDefault);
            if (t.picture > 0) {
                if (const auto data = embeddedResource(pictureResourceName(t.picture))) {
                    QPixmap pm;
                    pm.loadFromData(reinterpret_cast<const uchar*>(data->data()),
                                    static_cast<uint>(data->size()), "XPM");
                    b->setIcon(QIcon(pm));
                    b->setIconSize(QSize(u.x(t.width) - 4, u.y(t.height) - 4));
                }
            }
            w = b;
            break;
        }
    }
    const bool focusable =
        t.kind != FieldKind::Text && t.kind != FieldKind::HLine && t.kind != FieldKind::VLine;
    w->setFocusPolicy(focusable ? Qt::StrongFocus : Qt::NoFocus);
    w->setProperty(fieldProperty, index);
    w->setGeometry(u.x(t.x), u.y(t.y), std::max(1, u.x(t.width)), std::max(1, u.y(t.height)));
    if (t.font) w->setFont(fontFor(*t.font));
    if (t.colours) {
        QPalette p = w->palette();
        const auto& c = *t.colours;
        if (c.text[0] != 256 && c.text[1] != 256 && c.text[2] != 256) {
            const QColor fg(c.text[0], c.text[1], c.text[2]);
            for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
                p.setColor(role, fg);
        }
        if (c.background[0] != 256 && c.background[1] != 256 && c.background[2] != 256) {
            const QColor bg(c.background[0], c.background[1], c.background[2]);
            for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base}) p.setColor(role, bg);
            w->setAutoFillBackground(true);
        }
        w->setPalette(p);
    }
    connectInput(w, index);
    return w;
}

void DialogFrame::connectInput(QWidget* w, int index) {
    LoadedDialog* dp = &d;
    if (QLineEdit* e = lineEditOf(w)) {
        QObject::connect(e, &QLineEdit::textChanged, this, [this, dp, index](const QString& s) {
            if (!mirroring) textEdited(*dp, index, toBytes(s));
        });
    } else if (auto* r = dynamic_cast<RadioField*>(w)) {
        QObject::connect(r, &QAbstractButton::clicked, this, [dp, index] { radioClicked(*dp, index); });
    } else if (auto* c = dynamic_cast<QCheckBox*>(w)) {
        QObject::connect(c, &QAbstractButton::clicked, this,
                         [dp, index](bool on) { checkBoxClicked(*dp, index, on); });
    } else if (auto* b = dynamic_cast<QPushButton*>(w)) {
        QObject::connect(b, &QAbstractButton::clicked, this, [dp, index] { buttonPressed(*dp, index); });
    } else if (auto* l = dynamic_cast<QListWidget*>(w)) {
        // The selection, not the current row: a list that takes the focus
        // makes its first row current without choosing it.
        QObject::connect(l, &QListWidget::itemSelectionChanged, this, [this, l, dp, index] {
            const auto chosen = l->selectedItems();
            const int row = chosen.isEmpty() ? 0 : l->row(chosen.front()) + 1;
            if (!mirroring && row > 0 && row != dp->value(index).selected) listSelected(*dp, index, row);
        });
    }
}

// ---- The operations on a view ----

bool windowSystemPresent() {
    return !noWindowSystem();
}

std::unique_ptr<DialogView, ViewDeleter> createDialogView(LoadedDialog& d, std::string& error) {
    QWidget* area = clientArea();
    if (!area) {
        error = "the main window is not open";
        return nullptr;
    }
    watchFocus();
    std::unique_ptr<DialogView, ViewDeleter> v(new DialogView);
    v->frame = new DialogFrame(area, d);
    for (int i = 0; i < static_cast<int>(d.tpl.fields.size()); ++i) viewMirror(*v, i);
    return v;
}

void viewMirror(DialogView& v, int index) {
    DialogFrame* f = v.frame;
    if (!f || index < 0 || index >= static_cast<int>(f->widgets.size())) return;
    QWidget* w = f->widgets[static_cast<std::size_t>(index)];
    const FieldTemplate& t = f->d.field(index);
    const FieldValue& val = f->d.value(index);
    f->mirroring = true;
    const QString text = fromBytes(val.text);
    if (auto* e = lineEditOf(w)) {
        if (e->text() != text) e->setText(text);
    } else if (auto* l = dynamic_cast<QLabel*>(w)) {
        l->setText(text);
    } else if (auto* b = dynamic_cast<QAbstractButton*>(w)) {
        b->setText(text);
        if (b->isCheckable()) b->setChecked(val.on);
    } else if (auto* list = dynamic_cast<QListWidget*>(w)) {
        bool same = list->count() == static_cast<int>(val.items.size());
        for (int r = 0; same && r < list->count(); ++r)
            same = list->item(r)->text() == fromBytes(val.items[static_cast<std::size_t>(r)]);
        if (!same) {
            list->clear();
            for (const auto& item : val.items) list->addItem(fromBytes(item));
        }
        if (val.selected > 0) {
            list->setCurrentRow(val.selected - 1);
        } else {
            list->clearSelection();
            list->setCurrentRow(-1);
        }
    }
    f->mirroring = false;

    // A field that loses its input while it has the focus gives the focus to
    // the dialog, not to the next field (which would report a change).
    const bool hidden = val.state == FieldState::Hidden;
    const bool number = isNumberField(t.kind);
    const bool enabled = val.state == FieldState::Enabled || (val.state == FieldState::ReadOnly && number);
    if ((hidden || !enabled) && w->isAncestorOf(QApplication::focusWidget())) f->focusFrame();
    if ((hidden || !enabled) && QApplication::focusWidget() == w) f->focusFrame();
    w->setVisible(!hidden);
    w->setEnabled(enabled);
    if (auto* e = dynamic_cast<QLineEdit*>(w))
        e->setReadOnly(t.readOnly || val.state == FieldState::ReadOnly);
    if (auto* s = dynamic_cast<SpinField*>(w))
        s->setReadOnly(t.readOnly || val.state == FieldState::ReadOnly);
}

void viewShow(DialogView& v, int x, int y, int focusIndex) {
    DialogFrame* f = v.frame;
    if (!f) return;
    if (f->isVisible()) {
        f->raise();
        f->focusFrame();
        return;
    }
    QWidget* area = f->parentWidget();
    int px = 0, py = 0;
    WindowUnitsToPixels(std::max(x, 0), std::max(y, 0), px, py);
    if (x == -1) px = (area->width() - f->width()) / 2;
    if (y == -1) py = (area->height() - f->height()) / 2;
    f->move(px, py);
    f->show();
    f->raise();
    QWidget* target = focusIndex >= 0 ? f->widgets[static_cast<std::size_t>(focusIndex)] : nullptr;
    if (target && target->isEnabled() && target->isVisibleTo(f)) {
        target->setFocus(Qt::OtherFocusReason);
        if (auto* e = lineEditOf(target)) e->selectAll();
    } else {
        f->focusFrame();
    }
}

void viewHide(DialogView& v) {
    DialogFrame* f = v.frame;
    if (!f) return;
    // Hiding would pass the focus on to another dialog's field; the main
    // window takes it instead.
    if (f->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == f)
        if (f->parentWidget()) f->parentWidget()->setFocus(Qt::OtherFocusReason);
    f->hide();
}

void viewRefuse(DialogView& v, int index) {
    DialogFrame* f = v.frame;
    if (!f) return;
    QApplication::beep();
    QWidget* w = f->widgets[static_cast<std::size_t>(index)];
    w->setFocus(Qt::OtherFocusReason);
    if (auto* e = lineEditOf(w)) e->selectAll();
}

bool viewHasKeyboard() {
    const auto [frame, index] = fieldAt(QApplication::focusWidget());
    (void)index;
    return frame && frame->isVisible();
}

// ---- Input as a person gives it ----

namespace {

void makeActive(QWidget* top) {
    if (QApplication::activeWindow() == top) return;
    top->activateWindow();
    QApplication::setActiveWindow(top);
}

// A press and release of the left button at local point p of w, delivered to
// whatever widget lies on top there. The widget that takes focus on a click
// takes it first, as Qt does for a real press.
void sendClick(QWidget* w, QPoint p) {
    QWidget* top = w->window();
    makeActive(top);
    const QPoint inTop = w->mapTo(top, p);
    QWidget* target = top->childAt(inTop);
    if (!target) target = top;
    for (QWidget* f = target; f; f = f->parentWidget()) {
        if (f->isEnabled() && (f->focusPolicy() & Qt::ClickFocus)) {
            f->setFocus(Qt::MouseFocusReason);
            break;
        }
        if (f->isWindow()) break;
    }
    const QPointF local = target->mapFrom(top, inTop);
    const QPointF global = target->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void sendKey(int key, Qt::KeyboardModifiers mods, const QString& text) {
    QWidget* to = QApplication::focusWidget();
    if (!to) return;
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(to, &release);
}

bool checkShown(DialogFrame* f, QWidget* w, std::string& error) {
    if (!f || !f->isVisible() || !w || !w->isVisible()) {
        error = "field is not shown";
        return false;
    }
    return true;
}

}  // namespace

bool viewClick(DialogView& v, int index, std::string& error) {
    DialogFrame* f = v.frame;
    QWidget* w = f ? f->widgets[static_cast<std::size_t>(index)] : nullptr;
    if (!checkShown(f, w, error)) return false;
    QPoint p = w->rect().center();
    if (auto* b = dynamic_cast<QAbstractButton*>(w); b && b->isCheckable()) {
        QStyleOptionButton opt;
        opt.initFrom(w);
        const auto element =
            dynamic_cast<QRadioButton*>(w) ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator;
        p = w->style()->subElementRect(element, &opt, w).center();
    }
    sendClick(w, p);
    return true;
}

bool viewType(DialogView& v, int index, const std::string& text, std::string& error) {
    DialogFrame* f = v.frame;
    QWidget* w = f ? f->widgets[static_cast<std::size_t>(index)] : nullptr;
    if (!checkShown(f, w, error)) return false;
    QLineEdit* e = lineEditOf(w);
    sendClick(e, e->rect().center());
    if (!e->hasFocus()) return true;  // a dimmed field takes nothing
    sendKey(Qt::Key_A, Qt::ControlModifier, QString());
    for (const QChar c : fromBytes(text)) sendKey(c.toUpper().unicode(), Qt::NoModifier, QString(c));
    return true;
}

bool viewSelect(DialogView& v, int index, int row, std::string& error) {
    DialogFrame* f = v.frame;
    QWidget* w = f ? f->widgets[static_cast<std::size_t>(index)] : nullptr;
    if (!checkShown(f, w, error)) return false;
    auto* list = dynamic_cast<QListWidget*>(w);
    QListWidgetItem* item = list->item(row - 1);
    list->scrollToItem(item);
    sendClick(list->viewport(), list->visualItemRect(item).center());
    return true;
}

}  // namespace toolkit
