// The services every window relies on (dialogs, clock, screen, program end), behind one
// interface so that tests can script them.
#pragma once

#include <QDateTime>
#include <QString>

// Message-box styles and answers, with the numbers the windows know them by.
enum class MsgStyle {
    Critical = 16,      // stop icon, OK
    Information = 64,   // information icon, OK
    YesNoQuestion = 36, // question icon, Yes and No
};

enum class MsgAnswer { Ok = 1, Yes = 6, No = 7 };

enum class MousePointer { Default = 0, Hourglass = 11 };

class Runtime {
  public:
    virtual ~Runtime() = default;

    // Modal; Ok, or Yes or No for a question.
    virtual MsgAnswer MsgBox(const QString& prompt, MsgStyle style, const QString& title) = 0;
    virtual void Beep() = 0;
    virtual QDateTime Now() = 0;
    virtual int ScreenWidthTwips() = 0;
    virtual void SetMousePointer(MousePointer pointer) = 0;
    // Ends the program at once, once the run has let go of what it holds: no window's close
    // handler runs afterwards. The real runtime never returns; a test double records the
    // end and returns, so callers must return straight after calling it.
    virtual void End() = 0;
};

// The runtime in use; the program installs the Qt one, tests a scripted double.
Runtime& Rt();
void SetRuntime(Runtime* runtime);

// Today, as the runtime's clock has it: what a booking dates its lines with.
inline QDate Today() {
    return Rt().Now().date();
}
