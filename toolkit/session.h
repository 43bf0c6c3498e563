// Test mode and scripted sessions: message boxes and file selections are
// answered from a queue and recorded, and drawing calls can be traced, so
// that the procedures above the toolkit are tested as plain functions.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace toolkit {

enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct BoxRecord {
    int buttons = 0, icon = 0, defaultButton = 1;
    std::string message, title;  // trimmed, as shown
    int exitCode = 0;            // what WInfoDialog(4) returned afterwards
    bool usedDefault = false;    // no answer was queued
};

struct FileRecord {
    std::string filter, title, pathIn;
    std::optional<std::string> chosen;  // nothing: cancelled
};

// Headless: no window and no QApplication; boxes and file selections come
// from the queues, drawing goes only to the trace. For unit tests.
void setHeadless(bool on);
bool headless();

// True when a message box can be shown or recorded: headless, a running
// application, or a platform that Qt can reach (offscreen, an X or Wayland
// display). Without one, starting the application would abort the program.
bool windowSystemReachable();

void queueAnswer(Answer a);
void queueFile(std::optional<std::string> path);  // nothing = cancel
std::vector<BoxRecord> takeBoxes();
std::vector<FileRecord> takeFiles();
// Forgets queued answers, records, trace and last error: a fresh test.
void resetSession();

// One recorded drawing call, with its arguments in user units, for example
// {"IGrLineTo", {10, -50}, ""} or {"IGrCharOut", {0, 30.4}, " 0"}.
struct TraceEntry {
    std::string op;
    std::vector<double> args;
    std::string text;
};
void setTrace(bool on);
std::vector<TraceEntry> takeTrace();

// ---- Start-up of the real program ----

// Hands the program's arguments to the toolkit; call before WInitialise.
// argc and argv must live as long as the program (those of main do).
void setArguments(int& argc, char** argv);
// Selects Qt's offscreen platform (no display); call before WInitialise.
// Scripted runs use it unless --show is given.
void useOffscreenPlatform();
// Reads a script of operator input (one command a line); from then on
// WMessage takes its input from it. False with a reason when unreadable.
bool startScript(const std::string& path, std::string& error);
// What must still happen when a script ends the program itself (a script
// that ends while the program waits, a wrong line): the exit skips the
// program's own ending, so a lock it holds would stay behind.
void atScriptEnd(std::function<void()> f);

// ---- For tests of the drawing ----

// Colour of a client pixel as WRGB, or -1 outside the area or with no window.
int clientPixel(int px, int py);
// The text last put into the status bar with WindowStatusText.
std::string statusText();
// True while a script drives the program (its standard output is then the
// transcript).
bool scriptedSession();
// Client area size in pixels (the nominal 1600 x 1000 in headless mode).
int clientWidth();
int clientHeight();
// The 80 % rule of WindowOpen for a screen of the given size.
void clientSizeForScreen(int width, int height, int screenWidth, int screenHeight, int& outWidth,
                         int& outHeight);

}  // namespace toolkit
