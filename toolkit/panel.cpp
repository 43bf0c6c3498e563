// The panel beside the plot. Its record (PanelView) is the truth; the dock
// and its table, when a window system is present, only show that record, so
// the panel works the same with no window at all and the widgets can be
// rebuilt from it whenever the main window opens again.
#include "toolkit/panel.h"

#include <QApplication>
#include <QDockWidget>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "toolkit/core.h"
#include "toolkit/internal.h"

namespace toolkit {

namespace {

PanelView& view() {
    static PanelView v;
    return v;
}

void postRow(int row) {
    if (row < 1 || row > int(view().rows.size())) return;
    view().current = row;
    EventRecord e;
    e.data1 = row;
    postEvent(EventType::PanelRow, e);
}

void postNote(int item) {
    if (item < 1 || item > int(view().notes.size())) return;
    EventRecord e;
    e.data1 = item;
    e.data2 = 1;
    postEvent(EventType::PanelRow, e);
}

// A list of the panel (the table of drops, the findings under it). It takes
// every key that reaches it: a key must never climb to the main window and
// run one of its single-key commands while the panel has the keyboard.
// Enter activates the current item, Escape hands the keyboard back, the
// keys that move through a list do so.
template <class Base, void (*activate)(int)>
class PanelList : public Base {
public:
    explicit PanelList(QWidget* parent) : Base(parent) {}

protected:
    void keyPressEvent(QKeyEvent* ev) override {
        switch (ev->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter: activate(this->currentRow() + 1); break;
            case Qt::Key_Escape: WPanelFocusPlot(); break;
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End: Base::keyPressEvent(ev); break;
            default: break;
        }
        ev->accept();
    }
};

using PanelTable = PanelList<QTableWidget, postRow>;
using NotesList = PanelList<QListWidget, postNote>;

// The close box only hides the panel, and the editor learns of it from WPanelShown.
class PanelDock : public QDockWidget {
public:
    explicit PanelDock(QWidget* parent) : QDockWidget("Cruise overview", parent) {}

protected:
    void closeEvent(QCloseEvent* ev) override {
        view().shown = false;
        view().focused = false;
        if (QWidget* area = clientArea()) area->setFocus();
        QDockWidget::closeEvent(ev);
    }
};

struct Widgets {
    QPointer<PanelDock> dock;
    QLabel* heading = nullptr;
    PanelTable* table = nullptr;
    QLabel* notesHeading = nullptr;
    NotesList* notes = nullptr;
};

Widgets& widgets() {
    static Widgets w;
    return w;
}

PanelTable* table() {
    return widgets().dock ? widgets().table : nullptr;
}

QTableWidgetItem* cell(const std::string& text) {
    auto* item = new QTableWidgetItem(
        QString::fromLatin1(text.data(), qsizetype(text.size())));  // NOLINT: the table owns it
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

void setMarkedLook(QTableWidget& t, int row, bool marked) {
    if (row < 1 || row > t.rowCount()) return;
    for (int c = 0; c < t.columnCount(); ++c)
        if (QTableWidgetItem* item = t.item(row - 1, c)) {
            QFont f = item->font();
            f.setBold(marked);
            item->setFont(f);
            item->setBackground(marked ? QBrush(QColor(255, 240, 170)) : QBrush());
        }
}

void putCells(QTableWidget& t, int row, const PanelCells& cells) {
    for (int c = 0; c < t.columnCount(); ++c)
        t.setItem(row - 1, c, cell(std::size_t(c) < cells.size() ? cells[std::size_t(c)] : std::string()));
    if (row == view().marked) setMarkedLook(t, row, true);
}

// Columns as wide as their widest text, measured once per fill: letting the
// header measure itself would walk every row at each change.
void fitColumns(QTableWidget& t) {
    const QFontMetrics fm(t.font());
    const QFontMetrics bold([&t] {
        QFont f = t.font();
        f.setBold(true);
        return f;
    }());
    int total = 0;
    for (int c = 0; c < t.columnCount(); ++c) {
        int w =
            fm.horizontalAdvance(t.horizontalHeaderItem(c) ? t.horizontalHeaderItem(c)->text() : QString());
        for (const auto& r : view().rows)
            if (std::size_t(c) < r.size())
                w = std::max(w, bold.horizontalAdvance(QString::fromLatin1(r[std::size_t(c)].c_str())));
        t.setColumnWidth(c, w + 12);
        total += w + 12;
    }
    // Never more than three fifths of a small window: the plot keeps a share
    // and the table scrolls sideways.
    if (widgets().dock)
        if (auto* win = qobject_cast<QMainWindow*>(widgets().dock->parentWidget()))
            win->resizeDocks(
                {widgets().dock.data()},
                {std::min(total + t.verticalScrollBar()->sizeHint().width() + 8, win->width() * 3 / 5)},
                Qt::Horizontal);
}

void fillTable() {
    PanelTable* t = table();
    if (!t) return;
    const PanelView& v = view();
    t->setUpdatesEnabled(false);
    t->clearContents();
    t->setColumnCount(int(v.columns.size()));
    for (std::size_t c = 0; c < v.columns.size(); ++c)
        t->setHorizontalHeaderItem(
            int(c),
            new QTableWidgetItem(QString::fromLatin1(v.columns[c].c_str())));  // NOLINT: owned by the table
    t->setRowCount(int(v.rows.size()));
    for (std::size_t r = 0; r < v.rows.size(); ++r) putCells(*t, int(r) + 1, v.rows[r]);
    fitColumns(*t);
    t->setUpdatesEnabled(true);
}

void fillNotes() {
    Widgets& w = widgets();
    if (!w.dock) return;
    const PanelView& v = view();
    w.notesHeading->setText(QString::fromUtf8(v.notesHeading.c_str()));
    w.notes->clear();
    for (const auto& n : v.notes) w.notes->addItem(QString::fromUtf8(n.c_str()));
    const bool shown = !v.notesHeading.empty() || !v.notes.empty();
    w.notesHeading->setVisible(shown);
    w.notes->setVisible(!v.notes.empty());
    if (!v.notes.empty()) w.notes->setCurrentRow(0);
}

void showCurrent() {
    PanelTable* t = table();
    const int row = view().current;
    if (!t || row < 1 || row > t->rowCount()) return;
    t->setCurrentCell(row - 1, 0);
    t->scrollToItem(t->item(row - 1, 0), QAbstractItemView::PositionAtCenter);
}

void buildWidgets() {
    auto* win = mainWindowWidget();
    if (!win || widgets().dock) return;
    auto& w = widgets();
    w.dock = new PanelDock(win);  // NOLINT: owned by the main window
    w.dock->setObjectName("overview");
    w.dock->setFeatures(QDockWidget::DockWidgetClosable);
    w.dock->setAllowedAreas(Qt::RightDockWidgetArea);
    auto* box = new QWidget(w.dock);  // NOLINT: owned by the dock
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    w.heading = new QLabel(box);
    w.table = new PanelTable(box);
    w.table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w.table->setSelectionBehavior(QAbstractItemView::SelectRows);
    w.table->setSelectionMode(QAbstractItemView::SingleSelection);
    w.table->verticalHeader()->hide();
    w.table->verticalHeader()->setDefaultSectionSize(w.table->fontMetrics().height() + 4);
    w.table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    w.table->setWordWrap(false);
    w.notesHeading = new QLabel(box);  // NOLINT: owned by the box
    // The panel is as wide as its table, which may be narrower than the hint.
    w.notesHeading->setWordWrap(true);
    w.notes = new NotesList(box);  // NOLINT: owned by the box
    w.notes->setWordWrap(true);
    w.notes->setSelectionMode(QAbstractItemView::SingleSelection);
    w.notes->setMaximumHeight(8 * w.notes->fontMetrics().height());
    layout->addWidget(w.heading);
    layout->addWidget(w.table, 1);
    layout->addWidget(w.notesHeading);
    layout->addWidget(w.notes);
    QObject::connect(w.notes, &QListWidget::doubleClicked, w.notes,
                     [](const QModelIndex& index) { postNote(index.row() + 1); });
    w.dock->setWidget(box);
    QObject::connect(w.table, &QTableWidget::doubleClicked, w.table,
                     [](const QModelIndex& index) { postRow(index.row() + 1); });
    QObject::connect(w.table, &QTableWidget::currentCellChanged, w.table,
                     [](int row, int, int, int) { view().current = row + 1; });
    win->addDockWidget(Qt::RightDockWidgetArea, w.dock);
    w.heading->setText(QString::fromLatin1(view().heading.c_str()));
    fillNotes();
    fillTable();
}

}  // namespace

const PanelView& panelView() {
    return view();
}

void resetPanel() {
    if (widgets().dock) widgets().dock->hide();
    view() = PanelView{};
}

bool panelHasKeyboard() {
    if (!view().shown) return false;
    if (noWindowSystem()) return view().focused;
    const QWidget* focus = QApplication::focusWidget();
    return focus && widgets().dock && (focus == widgets().dock || widgets().dock->isAncestorOf(focus));
}

// The keys of a windowless run, as the table would take them.
void panelKey(int qtKey) {
    PanelView& v = view();
    const int n = int(v.rows.size());
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter: postRow(v.current); break;
        case Qt::Key_Escape: WPanelFocusPlot(); break;
        case Qt::Key_Up: v.current = std::max(1, v.current - 1); break;
        case Qt::Key_Down: v.current = std::min(n, v.current + 1); break;
        default: break;
    }
}

// "overview ROW" and "finding ITEM": the double click on a row of the table
// or an item of the findings, delivered as the mouse would deliver it.
bool runPanelScriptCommand(const std::vector<std::string>& words, std::string& error) {
    const bool note = !words.empty() && words[0] == "finding";
    char* end = nullptr;
    const long row = words.size() == 2 ? std::strtol(words[1].c_str(), &end, 10) : 0;
    if (words.size() != 2 || end == words[1].c_str() || *end != '\0') {
        error = note ? "expected \"finding ITEM\"" : "expected \"overview ROW\"";
        return false;
    }
    if (!view().shown) {
        error = "the overview is not shown";
        return false;
    }
    const long count = long(note ? view().notes.size() : view().rows.size());
    if (row < 1 || row > count) {
        error = (note ? "the overview lists no finding " : "the overview has no row ") + words[1];
        return false;
    }
    if (!table()) {
        note ? postNote(int(row)) : postRow(int(row));
        return true;
    }
    QAbstractItemView* list = note ? static_cast<QAbstractItemView*>(widgets().notes) : table();
    const QModelIndex index = list->model()->index(int(row) - 1, 0);
    list->scrollTo(index);
    QCoreApplication::processEvents();
    const QPointF at = QRectF(list->visualRect(index)).center();
    QWidget* port = list->viewport();
    const QPointF global = port->mapToGlobal(at);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent ev(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &ev);
    }
    return true;
}

}  // namespace toolkit

using toolkit::view;

void WPanelColumns(std::span<const std::string> titles) {
    view().columns.assign(titles.begin(), titles.end());
    toolkit::fillTable();
}

void WPanelShow() {
    auto& v = view();
    v.shown = true;
    v.focused = true;
    v.current = v.marked;
    if (toolkit::noWindowSystem()) return;
    toolkit::buildWidgets();
    if (!toolkit::widgets().dock) return;
    toolkit::widgets().dock->show();
    toolkit::showCurrent();
    toolkit::widgets().table->setFocus();
}

void WPanelHide() {
    auto& v = view();
    v.shown = false;
    v.focused = false;
    if (toolkit::widgets().dock) {
        toolkit::widgets().dock->hide();
        if (QWidget* area = toolkit::clientArea()) area->setFocus();
    }
}

bool WPanelShown() {
    return view().shown;
}

void WPanelHeading(std::string_view text) {
    view().heading = std::string(text);
    if (toolkit::table())
        toolkit::widgets().heading->setText(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

void WPanelNotes(std::string_view heading, std::span<const std::string> items) {
    view().notesHeading = std::string(heading);
    view().notes.assign(items.begin(), items.end());
    toolkit::fillNotes();
}

void WPanelRows(std::span<const PanelCells> rows) {
    auto& v = view();
    v.rows.assign(rows.begin(), rows.end());
    if (v.marked > int(v.rows.size())) v.marked = 0;
    toolkit::fillTable();
}

void WPanelPutRow(int row, const PanelCells& cells) {
    auto& v = view();
    if (row < 1 || row > int(v.rows.size())) return;
    v.rows[std::size_t(row - 1)] = cells;
    if (toolkit::PanelTable* t = toolkit::table()) toolkit::putCells(*t, row, cells);
}

void WPanelMark(int row) {
    auto& v = view();
    if (row < 0 || row > int(v.rows.size())) row = 0;
    if (toolkit::PanelTable* t = toolkit::table()) {
        toolkit::setMarkedLook(*t, v.marked, false);
        toolkit::setMarkedLook(*t, row, true);
    }
    v.marked = row;
    // The row that Enter takes follows the current drop, so that the
    // selection never points at a drop other than the marked one.
    v.current = row;
    toolkit::showCurrent();
}

void WPanelFocusPlot() {
    view().focused = false;
    if (toolkit::noWindowSystem()) return;
    if (QWidget* area = toolkit::clientArea()) area->setFocus();
}
