// The smallest Qt Widgets program that opens a main window and paints it
// once, then ends: the baseline beside which the editor's start-up time and
// peak memory are judged. It stands outside the editor's layers.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPaintEvent>
#include <QTimer>

namespace {

// Ends the program once its text has reached the window, as the editor's
// first plot does.
class Hello : public QLabel {
public:
    Hello() : QLabel("Hello, world") {}

protected:
    void paintEvent(QPaintEvent* ev) override {
        QLabel::paintEvent(ev);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new Hello);  // owned by the window
    window.resize(1600, 1000);
    window.show();
    return QApplication::exec();
}
